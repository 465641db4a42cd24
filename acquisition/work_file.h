// The work directory (DISCO_WORK): pages of a document are written there first and the finished
// file is copied into its place in the work area. A note beside each work file names that
// place, so that a work file left by a run that died is put where it belongs, not thrown away.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "acquisition/scanner/imaging_control.h"

namespace scantora {

// The work directory DISCO_WORK names, when pages go there first: an absolute directory that is
// not the work area root `disco_scarico` nor inside it. A drive letter alone names none here.
std::optional<std::filesystem::path> WorkDirectory(std::string_view disco_work,
                                                   std::string_view disco_scarico);

// The work file of `document`: its file name in `work_dir`.
std::filesystem::path WorkFileOf(const std::filesystem::path& work_dir,
                                 const std::filesystem::path& document);

// Starts a work file for `document`: a leftover work file of the same name is first put into
// the place its note names, then removed; with `append` the existing document is copied in.
// Writes the note. Fails when the work directory cannot take the file.
ImagingStatus BeginWorkFile(const std::filesystem::path& work_file,
                            const std::filesystem::path& document, bool append);

// Copies a finished work file over its document (a new file renamed into place) and removes
// the work file and its note. A missing work file (no page was saved) is no failure.
ImagingStatus FinishWorkFile(const std::filesystem::path& work_file,
                             const std::filesystem::path& document);

// Puts the leftover work file at `work_file` into the place its note names and removes both.
// Without a note the work file is left alone. Returns the document it went to.
std::optional<std::filesystem::path> RecoverWorkFile(const std::filesystem::path& work_file);

}  // namespace scantora
