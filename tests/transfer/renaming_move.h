// A stand-in for the move of one document, for tests of what happens around it.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "acquisition/naming_text.h"
#include "config/job_record.h"
#include "transfer/job_patterns.h"
#include "transfer/transfer_model.h"

namespace scantora::testing {

// Stands in for the move: renames every file below the work area whose path begins with the
// document path and fits the job's patterns to the same relative place under INVIOA, its name
// in upper case, except the files named in `refused`.
class RenamingMove {
public:
    explicit RenamingMove(const JobRecord& job) : job_(job) {}

    int operator()(const std::string& document_path) {
        calls.push_back(document_path);
        // The selection pattern of the job's shown levels, as the move applies it.
        patterns_ = BuildJobDiscoveryPatterns(job_, ShownLevelCount(job_, false));
        const std::string root = ToNativeSeparators(job_.disco_scarico);
        int moved = 0;
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (entry.is_regular_file()) files.push_back(entry.path());
        }
        for (const std::filesystem::path& file : files) {
            const std::string walked =
                DiscoveryPath(file.parent_path().string() + "/", file.filename().string());
            if (!StartsWithDocumentPath(walked, document_path)) continue;
            if (!MatchDiscoveryPath(walked, patterns_)) continue;
            if (refused.contains(file.filename().string())) continue;
            const std::filesystem::path relative = std::filesystem::relative(file, root);
            const std::filesystem::path target =
                std::filesystem::path(ToNativeSeparators(job_.invioa)) / relative.parent_path() /
                UpperAscii(file.filename().string());
            std::filesystem::create_directories(target.parent_path());
            std::filesystem::rename(file, target);
            ++moved;
        }
        return moved;
    }

    std::vector<std::string> calls;
    std::set<std::string> refused;

private:
    const JobRecord& job_;
    DiscoveryPatterns patterns_;
};

}  // namespace scantora::testing
