// The transfer side's compositions of the current job: the job-wide discovery patterns and a
// document's path, both from DISCO_SCARICO and the shown levels' composition rules.
#pragma once

#include <string>

#include "config/job_record.h"
#include "transfer/componi_stringa.h"
#include "transfer/discovery_patterns.h"

namespace scantora {

// NMAXCAR_i of all nine levels and NOMEFRONTE.
CompositionJob CompositionJobOf(const JobRecord& job);

// The MADRE/PADRE patterns of the first `shown_levels` levels (at most nine).
DiscoveryPatterns BuildJobDiscoveryPatterns(const JobRecord& job, std::size_t shown_levels);

// DISCO_SCARICO followed by the FIGLIO compositions of the first `shown_levels` levels over
// `values`: the native path of one document of the work area.
std::string ComposeDocumentPath(const JobRecord& job, LevelValueTable& values,
                                std::size_t shown_levels);

}  // namespace scantora
