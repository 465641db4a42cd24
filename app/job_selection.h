// The job selection dialog's logic: the list of registered jobs, the OK check and the new job.
// The dialog itself only shows the entries and passes the operator's actions here.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/job_registry.h"
#include "app/text_lookup.h"
#include "config/job_record.h"
#include "config/key_table.h"
#include "operator/operator.h"

namespace scantora {

// The prefix of every entry of the list: "-->  " (arrow and two blanks).
inline constexpr std::string_view kJobEntryPrefix = "-->  ";

// The dialog's caption and labels: texts 61488, 61486 and 61487.
struct JobSelectionLabels {
    std::string caption;
    std::string jobs;
    std::string new_job;
};
JobSelectionLabels SelectionLabels(const TextLookup& texts);

class JobSelection {
public:
    // Opens the registry of `setup_dir`; the list holds one "-->  <name>" entry per job and
    // the first entry is selected.
    explicit JobSelection(std::filesystem::path setup_dir);

    const std::vector<std::string>& entries() const { return entries_; }
    int selected() const { return entries_.empty() ? -1 : 0; }
    // The registry file opened, where new jobs are added.
    const std::filesystem::path& registry_file() const { return registry_file_; }

    // OK with `typed` in the box: a text that is not exactly one of the entries beeps and
    // returns false (the dialog stays open). Otherwise the registry is read again and the job
    // named by the entry gives `job_file_path` (left unchanged when no job matches); true.
    bool Confirm(std::string_view typed, std::string& job_file_path, Operator& op) const;

    // The path of a new job's file: "P_G32" with the number of entries plus one, or the next
    // number whose file does not exist yet.
    std::filesystem::path NewJobPath() const;

    // The new-job button after the setup sheet ended with OK on `job`: writes its job file at
    // `job_path` with the main writer (composed in `temp`), then appends it to the registry
    // file and adds its entry. Returns false, adding nothing, when either failed.
    bool AddNewJob(const JobRecord& job, const std::filesystem::path& job_path,
                   const KeyTable& table, const std::filesystem::path& temp, Operator& op,
                   const TextLookup& texts);

private:
    std::filesystem::path setup_dir_;
    std::filesystem::path registry_file_;
    std::vector<std::string> entries_;
};

}  // namespace scantora
