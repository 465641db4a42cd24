// What the transfer's compositions know of the job: the level widths that size the MADRE and
// PADRE placeholders, and the side names. The composition itself is name_composition.h, the one
// the page names of scanning come from.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/name_composition.h"
#include "transfer/level_value_table.h"

namespace scantora {

struct CompositionJob {
    std::array<std::size_t, kLevelSlots> widths{};  // NMAXCAR_i, within 0..kMaxLevelValue
    std::string front_name;                         // NOMEFRONTE
    std::string back_name;                          // NOMERETRO
};

// The side names a page path may hold: the front name, then the back name when it differs.
std::vector<std::string_view> SideNames(const CompositionJob& job);

// `root` (its first kMaxPathText characters) followed by the compositions of `rules`, level 1
// first, over `values` with `side_name`.
ComposedName ComposePath(std::string_view root, std::span<const std::string> rules,
                         const LevelValueTable& values, std::string_view side_name);

}  // namespace scantora
