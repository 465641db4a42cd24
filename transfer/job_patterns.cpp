#include "transfer/job_patterns.h"

#include <algorithm>
#include <vector>

#include "acquisition/naming_text.h"
#include "config/numeric_text.h"

namespace scantora {

namespace {

std::size_t ShownCount(std::size_t shown_levels) {
    return std::min(shown_levels, kLevelSlots);
}

}  // namespace

CompositionJob CompositionJobOf(const JobRecord& job) {
    CompositionJob composition;
    for (std::size_t i = 0; i < kLevelSlots; ++i) {
        composition.widths[i] = LeadingNumber(job.levels[i].nmaxcar);
    }
    composition.front_name = job.nomefronte;
    return composition;
}

DiscoveryPatterns BuildJobDiscoveryPatterns(const JobRecord& job, std::size_t shown_levels) {
    std::vector<std::string> rules;
    for (std::size_t i = 0; i < ShownCount(shown_levels); ++i) {
        rules.push_back(job.levels[i].composnome);
    }
    return BuildDiscoveryPatterns(job.disco_scarico, rules, CompositionJobOf(job));
}

std::string ComposeDocumentPath(const JobRecord& job, LevelValueTable& values,
                                std::size_t shown_levels) {
    const CompositionJob composition = CompositionJobOf(job);
    std::string path = job.disco_scarico;
    for (std::size_t i = 0; i < ShownCount(shown_levels); ++i) {
        COMPONI_STRINGA(path, job.levels[i].composnome, kModeFiglio, values, composition, i + 1);
    }
    return ToNativeSeparators(path);
}

}  // namespace scantora
