#include "transfer/componi_stringa.h"

#include <algorithm>

#include "acquisition/naming_text.h"

namespace scantora {

namespace {

std::size_t PlaceholderCount(long width) {
    return static_cast<std::size_t>(std::clamp<long>(width, 0, kMaxLevelValue));
}

}  // namespace

void FillForMode(LevelValueTable& table, std::string_view mode, const CompositionJob& job) {
    const bool madre = mode == kModeMadre;
    if (!madre && mode != kModePadre) return;
    for (std::size_t slot = 0; slot < kLevelSlots; ++slot) {
        const char placeholder = madre ? kMadrePlaceholder : static_cast<char>(slot + 1);
        table.Set(slot, std::string(PlaceholderCount(job.widths[slot]), placeholder));
    }
}

void COMPONI_STRINGA(std::string& path, std::string_view rule, std::string_view mode,
                     LevelValueTable& table, const CompositionJob& job,
                     std::size_t composed_level) {
    FillForMode(table, mode, job);
    ComposedText composed;
    const std::size_t kept = std::min(path.size(), kMaxPathText);
    composed.reserve(kept + kMaxComposedText);
    for (std::size_t i = 0; i < kept; ++i)
        composed.push_back({path[i], 0, 0});
    ComposeRule(composed, rule, table, job, composed_level);
    path.clear();
    for (const ComposedChar& c : composed)
        path.push_back(c.ch);
}

}  // namespace scantora
