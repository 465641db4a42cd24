// The level value table of the name composition: one value per identification level.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace scantora {

inline constexpr std::size_t kLevelSlots = 9;
inline constexpr std::size_t kMaxLevelValue = 199;  // characters a slot holds

// Slot i belongs to the level of section [LIVELLO i]; tokens name it as level i + 1.
class LevelValueTable {
public:
    // Stores `value` in `slot`, cut to kMaxLevelValue characters; other slots ignore it.
    void Set(std::size_t slot, std::string_view value);
    // The value of `slot`; empty for a slot outside the table.
    const std::string& Get(std::size_t slot) const;
    void Clear();

private:
    std::array<std::string, kLevelSlots> slots_;
};

}  // namespace scantora
