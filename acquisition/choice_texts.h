// The texts of the three-way choices the acquisition loop puts to the operator: a document or
// page file that exists already, and the end of a multi-page document.
#pragma once

#include <optional>
#include <string>

#include "acquisition/identification_model.h"
#include "operator/interface_texts.h"

namespace scantora {

// A multi-page document file with `pages` pages exists: the levels up to `working_level`.
std::string DocumentExistsText(const IdentificationModel& identification,
                               std::optional<std::size_t> working_level, int pages,
                               const InterfaceTexts& texts);

// A page file exists (one file per page). Before the first acquisition of a start the question
// is whether to acquire it again ("Riacquisisci?"); after one, "Riacquisirlo/i???".
std::string PageExistsText(const IdentificationModel& identification, bool after_acquisition,
                           const InterfaceTexts& texts);

// The feeder is empty at the end of a multi-page document holding `pages` pages.
std::string EndOfDocumentText(const IdentificationModel& identification,
                              std::optional<std::size_t> working_level, int pages,
                              const InterfaceTexts& texts);

}  // namespace scantora
