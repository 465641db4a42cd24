// Both sides of a job's naming as the tests drive them: the page paths scanning writes and what
// the transfer makes of them.
#pragma once

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/page_path.h"
#include "config/job_record.h"
#include "transfer/job_patterns.h"

namespace scantora::testing {

// The page path scanning gives `codes` (level 1 first), as ComposePagePath builds it.
inline std::optional<std::string> ScanPath(const JobRecord& job,
                                           const std::vector<std::string>& codes, bool back) {
    std::vector<std::string> rules;
    for (int i = 0; i < job.LevelCount(); ++i)
        rules.push_back(job.levels[i].composnome);
    const PagePathRules page_rules{job.disco_scarico, rules, job.nomefronte, job.nomeretro};
    return ComposePagePath(page_rules, codes, back);
}

// Writes the page file scanning names for `codes`, with its folders; returns its path, empty
// when scanning gives none.
inline std::string WriteScannedPage(const JobRecord& job, const std::vector<std::string>& codes,
                                    bool back) {
    const auto path = ScanPath(job, codes, back);
    if (!path) return {};
    std::filesystem::create_directories(std::filesystem::path(*path).parent_path());
    std::ofstream(*path, std::ios::binary) << "page " << *path;
    return *path;
}

// `path` as a directory walk hands it to discovery: its file name in upper case.
inline std::string WalkedPath(const std::string& path) {
    const auto name = path.find_last_of('/') + 1;
    return DiscoveryPath(path.substr(0, name), path.substr(name));
}

// The level values discovery reads from a page file at `path`, over `shown` levels.
inline std::optional<LevelValues> Discovered(const JobRecord& job, const std::string& path,
                                             std::size_t shown) {
    return MatchDiscoveryPath(WalkedPath(path), BuildJobDiscoveryPatterns(job, shown));
}

// The document paths of the row whose values are `values`.
inline std::vector<std::string> DocumentPaths(const JobRecord& job, const LevelValues& values,
                                              std::size_t shown) {
    LevelValueTable table;
    for (std::size_t i = 0; i < values.size(); ++i)
        table.Set(i, values[i]);
    return ComposeDocumentPaths(job, table, shown);
}

// The document of the row whose values are `values`.
inline DocumentSelection Document(const JobRecord& job, const LevelValues& values,
                                  std::size_t shown) {
    return {values, DocumentPaths(job, values, shown)};
}

}  // namespace scantora::testing
