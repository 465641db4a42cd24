// The transfer side's composition of one level's piece of a document path (COMPOSNOME_n), over
// the tokens as naming_token.h reads them:
//   $n#*%  the whole value of level n          $n#k%  its k-th character (from 1)
//   $-k%   cuts k characters off the path the call received (not off this rule's text)
//   $F*%   the whole front name                $Fk%   its first k characters
//   $F#*%, $F#k%  the side-name forms of the scan side: one "?" for each character of the side
//          name they stand for, so that front and back pages of a sheet share one pattern
// Level numbers outside 1..9 (or deeper than the level being composed) give nothing. The text
// one call composes holds at most kMaxComposedText characters, and the path never grows beyond
// kMaxPathText.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "transfer/level_value_table.h"

namespace scantora {

inline constexpr std::size_t kMaxComposedText = 299;

// The job values the composition reads.
struct CompositionJob {
    std::array<long, kLevelSlots> widths{};  // NMAXCAR_i, sizes the MADRE and PADRE placeholders
    std::string front_name;                  // NOMEFRONTE
};

// One composed character and where it came from: `level` 1..9 with the character's `index`
// inside that level's value, or level 0 for literal text, side names and the root.
struct ComposedChar {
    char ch = 0;
    std::uint8_t level = 0;
    std::uint8_t index = 0;
};
using ComposedText = std::vector<ComposedChar>;

// Composes `rule` over `table` and appends it to `path`, which $-k% tokens may shorten first.
// Tokens may name levels 1 to `composed_level` only.
void ComposeRule(ComposedText& path, std::string_view rule, const LevelValueTable& table,
                 const CompositionJob& job, std::size_t composed_level);

}  // namespace scantora
