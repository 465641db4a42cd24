#include "transfer/discovery_patterns.h"

#include <algorithm>

#include "acquisition/naming_text.h"
#include "config/text_encoding.h"
#include "transfer/componi_stringa.h"

namespace scantora {

namespace {

constexpr std::string_view kAnyCharacter = "?";
constexpr std::string_view kPlaceholder = "!";

ComposedName ComposeAll(std::string_view root, std::span<const std::string> rules,
                        std::string_view mode, std::string_view side_name,
                        const CompositionJob& job) {
    LevelValueTable table;
    FillForMode(table, mode, job);
    return ComposePath(root, rules, table, side_name);
}

std::vector<std::string_view> CharsOf(std::string_view text) {
    std::vector<std::string_view> chars;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t size = CharSizeAt(text, at);
        chars.push_back(text.substr(at, size));
        at += size;
    }
    return chars;
}

bool SameCharacter(std::string_view a, std::string_view b) {
    if (a.size() == 1 && b.size() == 1) {
        if (IsSeparator(a[0]) && IsSeparator(b[0])) return true;
        return UpperAscii(a[0]) == UpperAscii(b[0]);
    }
    return a == b;
}

// Where the path must reach: just past the pattern's last "!" (0 when it has none).
std::size_t RequiredLength(const ComposedName& pattern) {
    for (std::size_t i = pattern.size(); i > 0; --i) {
        if (pattern[i - 1].text() == kPlaceholder) return i;
    }
    return 0;
}

// The characters of each level's value as the path shows them; empty where none lands.
using PlacedChars = std::array<std::vector<std::string_view>, kLevelSlots>;

bool PlaceCharacter(PlacedChars& placed, const NameChar& place, std::string_view ch) {
    std::vector<std::string_view>& value = placed[place.level - 1];
    if (value.size() <= place.index) value.resize(place.index + 1);
    std::string_view& slot = value[place.index];
    if (slot.empty()) {
        slot = ch;
        return true;
    }
    return SameCharacter(slot, ch);
}

LevelValues ValuesOf(const PlacedChars& placed, std::span<const std::size_t, kLevelSlots> widths) {
    LevelValues values;
    for (std::size_t level = 0; level < kLevelSlots; ++level) {
        for (std::size_t i = 0; i < std::max(widths[level], placed[level].size()); ++i) {
            const bool shown = i < placed[level].size() && !placed[level][i].empty();
            values[level] += shown ? placed[level][i] : kAnyCharacter;
        }
    }
    return values;
}

}  // namespace

DiscoveryPatterns BuildDiscoveryPatterns(std::string_view root, std::span<const std::string> rules,
                                         const CompositionJob& job) {
    DiscoveryPatterns patterns;
    for (std::size_t level = 0; level < std::min(rules.size(), kLevelSlots); ++level) {
        patterns.value_widths[level] = std::min(job.widths[level], kMaxLevelValue);
    }
    for (std::string_view side_name : SideNames(job)) {
        const ComposedName madre = ComposeAll(root, rules, kModeMadre, side_name, job);
        const ComposedName padre = ComposeAll(root, rules, kModePadre, side_name, job);
        const std::string madre_text = ToNativeSeparators(TextOf(madre));
        // Rules that never name the side give every side the same patterns.
        if (std::any_of(patterns.sides.begin(), patterns.sides.end(),
                        [&](const SidePatterns& side) { return side.madre == madre_text; })) {
            continue;
        }
        patterns.sides.push_back(
            {std::string(side_name), madre_text, ToNativeSeparators(TextOf(padre)), madre});
    }
    return patterns;
}

std::string DiscoveryPath(std::string_view directory, std::string_view file_name) {
    return std::string(directory) + UpperAscii(file_name);
}

std::optional<LevelValues> MatchSidePatterns(std::string_view path, const SidePatterns& side,
                                             std::span<const std::size_t, kLevelSlots> widths) {
    const ComposedName& pattern = side.places;
    const std::vector<std::string_view> chars = CharsOf(path);
    const std::size_t required = RequiredLength(pattern);
    if (required == 0 || chars.size() < required) return std::nullopt;
    PlacedChars placed;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const std::string_view wanted = pattern[i].text();
        const bool wildcard = wanted == kPlaceholder || wanted == kAnyCharacter;
        if (i >= chars.size()) {
            if (!wildcard) return std::nullopt;
            continue;
        }
        if (!wildcard && !SameCharacter(wanted, chars[i])) return std::nullopt;
        if (pattern[i].level != 0 && !PlaceCharacter(placed, pattern[i], chars[i])) {
            return std::nullopt;
        }
    }
    return ValuesOf(placed, widths);
}

std::optional<LevelValues> MatchDiscoveryPath(std::string_view path,
                                              const DiscoveryPatterns& patterns) {
    std::optional<LevelValues> best;
    std::size_t best_length = 0;
    for (const SidePatterns& side : patterns.sides) {
        if (best && side.places.size() <= best_length) continue;
        if (auto values = MatchSidePatterns(path, side, patterns.value_widths)) {
            best = std::move(values);
            best_length = side.places.size();
        }
    }
    return best;
}

bool StartsWithDocumentPath(std::string_view path, std::string_view document_path) {
    const std::vector<std::string_view> chars = CharsOf(path);
    const std::vector<std::string_view> wanted = CharsOf(document_path);
    if (chars.size() < wanted.size()) return false;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (wanted[i] != kAnyCharacter && !SameCharacter(wanted[i], chars[i])) return false;
    }
    return true;
}

bool IsDocumentPage(std::string_view path, const DocumentSelection& document,
                    const DiscoveryPatterns& patterns) {
    const bool under_document = std::any_of(
        document.paths.begin(), document.paths.end(),
        [path](const std::string& prefix) { return StartsWithDocumentPath(path, prefix); });
    if (!under_document) return false;
    const auto values = MatchDiscoveryPath(path, patterns);
    return values && std::equal(values->begin(), values->end(), document.values.begin(),
                                [](const std::string& a, const std::string& b) {
                                    return UpperAscii(a) == UpperAscii(b);
                                });
}

}  // namespace scantora
