// Choosing the scanner source of a job, over any list of source names.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "config/job_record.h"
#include "operator/operator.h"

namespace scantora {

// The sources the scanning layer offers, by index from 0.
class SourceList {
public:
    virtual ~SourceList() = default;
    virtual int Count() = 0;
    virtual std::string Name(int index) = 0;
    virtual void Select(int index) = 0;
};

// Chooses the source: `reset` forgets the stored TWAINSOURCE; a stored name selects the
// source with exactly that name or is forgotten; without one, no source shows
// "Source TWAIN  don't detect", a single source is selected without storing its name, and
// several are offered one by one (Yes/No, No preselected) until a Yes, whose name is stored
// in `job` and saved into `job_file` through `temp`. Returns whether a source is selected.
bool ChooseSource(SourceList& sources, bool reset, JobRecord& job,
                  const std::filesystem::path& job_file, const std::filesystem::path& temp,
                  Operator& op);

// Rewrites `job_file` with "TWAINSOURCE=<name>" in place of every TWAINSOURCE line, or with
// "[VARIE]" and that line appended when it has none. The file is composed in `temp` and
// replaced atomically; returns false, leaving it unchanged, when it cannot be read or replaced.
bool SaveTwainSource(const std::filesystem::path& job_file, std::string_view name,
                     const std::filesystem::path& temp);

}  // namespace scantora
