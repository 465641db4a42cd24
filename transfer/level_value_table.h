// The level value table of the name composition: one value per identification level.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "acquisition/naming_text.h"

namespace scantora {

inline constexpr std::size_t kLevelSlots = 9;

// Slot i belongs to the level of section [LIVELLO i]; tokens name it as level i + 1.
class LevelValueTable {
public:
    // Stores `value` in `slot` as the composition reads it: UTF-8 (converted as ToUtf8 does) and
    // cut to kMaxLevelValue characters, never inside one. Other slots ignore it.
    void Set(std::size_t slot, std::string_view value);
    // The value of `slot`; empty for a slot outside the table.
    const std::string& Get(std::size_t slot) const;
    // All slots, slot 0 first.
    std::span<const std::string> values() const { return slots_; }
    void Clear();

private:
    std::array<std::string, kLevelSlots> slots_;
};

}  // namespace scantora
