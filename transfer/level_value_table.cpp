#include "transfer/level_value_table.h"

#include "config/text_encoding.h"

namespace scantora {

void LevelValueTable::Set(std::size_t slot, std::string_view value) {
    if (slot >= kLevelSlots) return;
    slots_[slot] = TruncateChars(ToUtf8(value), kMaxLevelValue);
}

const std::string& LevelValueTable::Get(std::size_t slot) const {
    static const std::string kEmpty;
    return slot < kLevelSlots ? slots_[slot] : kEmpty;
}

void LevelValueTable::Clear() {
    for (std::string& slot : slots_)
        slot.clear();
}

}  // namespace scantora
