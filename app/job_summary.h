// A plain-text description of the loaded job, for the headless check run.
#pragma once

#include <string>

#include "app/app_state.h"
#include "app/text_lookup.h"

namespace scantora {

// Job name, job file, levels with their descriptions and rules, work area and destination
// roots, transfer and barcode switches, scanner settings; one item per line.
std::string DescribeJob(const AppState& state, const TextLookup& texts);

}  // namespace scantora
