#include "transfer/discovery_patterns.h"

#include <algorithm>

#include "acquisition/naming_text.h"
#include "transfer/componi_stringa.h"

namespace scantora {

namespace {

constexpr char kAnyCharacter = '?';
constexpr char kUnplaced = '\0';

ComposedText ComposeAll(std::string_view root, std::span<const std::string> rules,
                        std::string_view mode, const CompositionJob& job) {
    LevelValueTable table;
    FillForMode(table, mode, job);
    ComposedText composed;
    for (char ch : root.substr(0, kMaxPathText))
        composed.push_back({ch, 0, 0});
    for (std::size_t level = 0; level < rules.size() && level < kLevelSlots; ++level) {
        ComposeRule(composed, rules[level], table, job, level + 1);
    }
    return composed;
}

std::string TextOf(const ComposedText& composed) {
    std::string text;
    text.reserve(composed.size());
    for (const ComposedChar& c : composed)
        text.push_back(c.ch);
    return ToNativeSeparators(text);
}

bool SameCharacter(char pattern, char path) {
    if (IsSeparator(pattern) && IsSeparator(path)) return true;
    return UpperAscii(pattern) == UpperAscii(path);
}

// Where the path must reach: just past the pattern's last "!" (0 when it has none).
std::size_t RequiredLength(std::string_view madre) {
    const auto last = madre.rfind(kMadrePlaceholder);
    return last == std::string_view::npos ? 0 : last + 1;
}

bool PlaceCharacter(LevelValues& values, const ComposedChar& place, char ch) {
    std::string& value = values[place.level - 1];
    if (value.size() <= place.index) value.resize(place.index + 1, kUnplaced);
    char& slot = value[place.index];
    if (slot == kUnplaced) {
        slot = ch;
        return true;
    }
    return UpperAscii(slot) == UpperAscii(ch);
}

}  // namespace

DiscoveryPatterns BuildDiscoveryPatterns(std::string_view root, std::span<const std::string> rules,
                                         const CompositionJob& job) {
    const ComposedText madre = ComposeAll(root, rules, kModeMadre, job);
    const ComposedText padre = ComposeAll(root, rules, kModePadre, job);
    DiscoveryPatterns patterns{TextOf(madre), TextOf(padre), madre, {}};
    for (const ComposedChar& place : madre) {
        if (place.level == 0) continue;
        patterns.value_widths[place.level - 1] = static_cast<std::size_t>(
            std::clamp<long>(job.widths[place.level - 1], 0, kMaxLevelValue));
    }
    return patterns;
}

std::string DiscoveryPath(std::string_view directory, std::string_view file_name) {
    return std::string(directory) + UpperAscii(file_name);
}

std::optional<LevelValues> MatchDiscoveryPath(std::string_view path,
                                              const DiscoveryPatterns& patterns) {
    const std::string_view madre = patterns.madre;
    const std::size_t required = RequiredLength(madre);
    if (required == 0 || path.size() < required) return std::nullopt;
    LevelValues values;
    for (std::size_t i = 0; i < madre.size(); ++i) {
        const char wanted = madre[i];
        const bool wildcard = wanted == kMadrePlaceholder || wanted == kAnyCharacter;
        if (i >= path.size()) {
            if (!wildcard) return std::nullopt;
            continue;
        }
        if (!wildcard && !SameCharacter(wanted, path[i])) return std::nullopt;
        if (i < patterns.places.size() && patterns.places[i].level != 0 &&
            !PlaceCharacter(values, patterns.places[i], path[i])) {
            return std::nullopt;
        }
    }
    for (std::size_t level = 0; level < kLevelSlots; ++level) {
        std::string& value = values[level];
        if (value.size() < patterns.value_widths[level]) {
            value.resize(patterns.value_widths[level], kUnplaced);
        }
        for (char& c : value) {
            if (c == kUnplaced) c = kAnyCharacter;
        }
    }
    return values;
}

}  // namespace scantora

namespace scantora {

bool StartsWithDocumentPath(std::string_view path, std::string_view document_path) {
    if (path.size() < document_path.size()) return false;
    for (std::size_t i = 0; i < document_path.size(); ++i) {
        const char wanted = document_path[i];
        if (wanted != '?' && !SameCharacter(wanted, path[i])) return false;
    }
    return true;
}

}  // namespace scantora
