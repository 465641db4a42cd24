// The transfer side's compositions of the current job: the job-wide discovery patterns and a
// document's paths, both from DISCO_SCARICO and the shown levels' composition rules.
#pragma once

#include <string>
#include <vector>

#include "config/job_record.h"
#include "transfer/componi_stringa.h"
#include "transfer/discovery_patterns.h"

namespace scantora {

// The level widths (NMAXCAR_i within 0..kMaxLevelValue), NOMEFRONTE and NOMERETRO.
CompositionJob CompositionJobOf(const JobRecord& job);

// The MADRE/PADRE patterns of the first `shown_levels` levels (at most nine).
DiscoveryPatterns BuildJobDiscoveryPatterns(const JobRecord& job, std::size_t shown_levels);

// DISCO_SCARICO followed by the FIGLIO compositions of the first `shown_levels` levels over
// `values`: the native path of one document of the work area, with the front name where the
// rules name the side.
std::string ComposeDocumentPath(const JobRecord& job, const LevelValueTable& values,
                                std::size_t shown_levels);

// The same path for each side name (SideNames: the front name's first), each different path
// once. Every page file of the document begins with one of them.
std::vector<std::string> ComposeDocumentPaths(const JobRecord& job, const LevelValueTable& values,
                                              std::size_t shown_levels);

}  // namespace scantora
