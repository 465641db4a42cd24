#include "app/job_selection.h"

#include <algorithm>

#include "config/job_config_writer.h"
#include "operator/text_ids.h"

namespace scantora {

JobSelectionLabels SelectionLabels(const TextLookup& texts) {
    return {texts.Text(text_id::kJobSelectionCaption), texts.Text(text_id::kRegisteredJobs),
            texts.Text(text_id::kNewJob)};
}

JobSelection::JobSelection(std::filesystem::path setup_dir) : setup_dir_(std::move(setup_dir)) {
    const JobRegistry registry = OpenJobRegistry(setup_dir_);
    registry_file_ = registry.file;
    for (const auto& job : registry.jobs)
        entries_.push_back(std::string(kJobEntryPrefix) + job.name);
}

bool JobSelection::Confirm(std::string_view typed, std::string& job_file_path, Operator& op) const {
    if (std::find(entries_.begin(), entries_.end(), typed) == entries_.end()) {
        op.Beep();
        return false;
    }
    // The whole name must match: a job whose name merely begins with it is another job.
    const std::string_view name = typed.substr(kJobEntryPrefix.size());
    GlobalSettings settings;
    ReadGlobalSettings(registry_file_, settings);
    for (const auto& job : settings.jobs) {
        if (job.name != name) continue;
        job_file_path = job.job_file;
        break;
    }
    return true;
}

std::filesystem::path JobSelection::NewJobPath() const {
    // A number already taken by a file (a job removed from the list, or registered twice)
    // moves on to the next one, so that no other job's file is overwritten.
    constexpr int kLastNumber = 999;
    int number = static_cast<int>(entries_.size()) + 1;
    std::error_code error;
    while (number < kLastNumber &&
           std::filesystem::exists(NewJobFilePath(setup_dir_, number), error))
        ++number;
    return NewJobFilePath(setup_dir_, number);
}

bool JobSelection::AddNewJob(const JobRecord& job, const std::filesystem::path& job_path,
                             const KeyTable& table, const std::filesystem::path& temp, Operator& op,
                             const TextLookup& texts) {
    // The job file first: a job is registered only once its file exists, so that the list
    // never offers a job that cannot be loaded.
    if (!WriteJobConfig(table, job, JobWriter::kMain, setup_dir_, job_path.string(), temp, op,
                        texts))
        return false;
    if (!AppendJob(registry_file_, job.applicazione, job_path.string())) {
        op.Stop(texts.Text(text_id::kSaveJobError));
        return false;
    }
    entries_.push_back(std::string(kJobEntryPrefix) + job.applicazione);
    return true;
}

}  // namespace scantora
