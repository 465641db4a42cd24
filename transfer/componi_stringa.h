// COMPONI_STRINGA: appends one level's piece of a document path, in one of three modes.
#pragma once

#include <string>
#include <string_view>

#include "transfer/composition.h"
#include "transfer/level_value_table.h"

namespace scantora {

// Mode texts, compared exactly. Any other text composes in FIGLIO mode.
inline constexpr std::string_view kModeMadre = "MADRE";    // values made of "!"
inline constexpr std::string_view kModePadre = "PADRE";    // values made of level bytes 1..9
inline constexpr std::string_view kModeFiglio = "FIGLIO";  // the table as the caller left it

// Placeholder characters of the MADRE mode.
inline constexpr char kMadrePlaceholder = '!';

// Fills every slot of `table` for `mode`: MADRE and PADRE overwrite each slot i with as many
// placeholders ("!" or the byte i + 1) as its width (at most kMaxLevelValue); FIGLIO leaves the
// table alone.
void FillForMode(LevelValueTable& table, std::string_view mode, const CompositionJob& job);

// Appends the composition of `rule` (name_composition.h) to `path` in place, after filling the
// table for `mode`; side-name tokens give the front name, so the text holds no placeholder for
// them. `composed_level` (1..9) is the level the rule belongs to; its tokens may name that level
// and shallower ones only. A path longer than kMaxPathText characters is cut to it first.
void COMPONI_STRINGA(std::string& path, std::string_view rule, std::string_view mode,
                     LevelValueTable& table, const CompositionJob& job,
                     std::size_t composed_level = kLevelSlots);

}  // namespace scantora
