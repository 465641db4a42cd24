#include "transfer/job_patterns.h"

#include <algorithm>

#include "acquisition/naming_text.h"

namespace scantora {

namespace {

std::vector<std::string> ShownRules(const JobRecord& job, std::size_t shown_levels) {
    std::vector<std::string> rules;
    for (std::size_t i = 0; i < std::min(shown_levels, kLevelSlots); ++i) {
        rules.push_back(job.levels[i].composnome);
    }
    return rules;
}

std::string ComposeWithSide(const JobRecord& job, const LevelValueTable& values,
                            std::size_t shown_levels, std::string_view side_name) {
    const ComposedName path =
        ComposePath(job.disco_scarico, ShownRules(job, shown_levels), values, side_name);
    return ToNativeSeparators(TextOf(path));
}

}  // namespace

CompositionJob CompositionJobOf(const JobRecord& job) {
    CompositionJob composition;
    for (std::size_t i = 0; i < kLevelSlots; ++i) {
        composition.widths[i] = LevelWidth(job.levels[i].nmaxcar);
    }
    composition.front_name = job.nomefronte;
    composition.back_name = job.nomeretro;
    return composition;
}

DiscoveryPatterns BuildJobDiscoveryPatterns(const JobRecord& job, std::size_t shown_levels) {
    return BuildDiscoveryPatterns(job.disco_scarico, ShownRules(job, shown_levels),
                                  CompositionJobOf(job));
}

std::string ComposeDocumentPath(const JobRecord& job, const LevelValueTable& values,
                                std::size_t shown_levels) {
    return ComposeWithSide(job, values, shown_levels, job.nomefronte);
}

std::vector<std::string> ComposeDocumentPaths(const JobRecord& job, const LevelValueTable& values,
                                              std::size_t shown_levels) {
    const CompositionJob composition = CompositionJobOf(job);
    std::vector<std::string> paths;
    for (std::string_view side_name : SideNames(composition)) {
        std::string path = ComposeWithSide(job, values, shown_levels, side_name);
        if (std::find(paths.begin(), paths.end(), path) == paths.end()) paths.push_back(path);
    }
    return paths;
}

}  // namespace scantora
