#include "transfer/componi_stringa.h"

#include <algorithm>

namespace scantora {

void FillForMode(LevelValueTable& table, std::string_view mode, const CompositionJob& job) {
    const bool madre = mode == kModeMadre;
    if (!madre && mode != kModePadre) return;
    for (std::size_t slot = 0; slot < kLevelSlots; ++slot) {
        const char placeholder = madre ? kMadrePlaceholder : static_cast<char>(slot + 1);
        table.Set(slot, std::string(std::min(job.widths[slot], kMaxLevelValue), placeholder));
    }
}

void COMPONI_STRINGA(std::string& path, std::string_view rule, std::string_view mode,
                     LevelValueTable& table, const CompositionJob& job,
                     std::size_t composed_level) {
    FillForMode(table, mode, job);
    ComposedName composed = ComposedOf(path);
    if (composed.size() > kMaxPathText) composed.resize(kMaxPathText);
    AppendComposition(composed, rule, {table.values(), job.front_name}, composed_level);
    path = TextOf(composed);
}

}  // namespace scantora
