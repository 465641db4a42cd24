// The job-wide MADRE/PADRE patterns of the work area and the matching of a page path against
// them, through which the transfer dialog recognises documents and their level values.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "transfer/composition.h"

namespace scantora {

struct DiscoveryPatterns {
    std::string madre;  // root + MADRE compositions: "!" wherever a level value goes
    std::string padre;  // root + PADRE compositions: the level's byte 1..9 at those places
    // Per position of the patterns: the level (1..9, 0 for none) and the character of its value
    // that lands there, so that a character pick and the whole value agree on one value.
    std::vector<ComposedChar> places;
    // Width of the placeholder of every level the patterns place (0 for the others).
    std::array<std::size_t, kLevelSlots> value_widths{};
};

using LevelValues = std::array<std::string, kLevelSlots>;

// DISCO_SCARICO followed by the compositions of the shown levels (`rules`, level 1 first), in
// MADRE and PADRE mode; separators are native.
DiscoveryPatterns BuildDiscoveryPatterns(std::string_view root, std::span<const std::string> rules,
                                         const CompositionJob& job);

// The path a directory walk compares: the directory as searched (ending in a separator) and the
// file name in upper case.
std::string DiscoveryPath(std::string_view directory, std::string_view file_name);

// Matches `path` (as DiscoveryPath builds it) against the patterns, ignoring case and treating
// "\" and "/" alike: the path reaches at least the pattern's last "!", "!" and "?" match any
// character (a "?" beyond the path's end too), any other character must be equal. Gives the
// value of every level the patterns place (each as wide as its placeholder, "?" where no
// character of it shows), or nothing when the path does not fit or a level's characters
// disagree with each other.
std::optional<LevelValues> MatchDiscoveryPath(std::string_view path,
                                              const DiscoveryPatterns& patterns);

// Whether `path` begins with a document path composed in FIGLIO mode, by the same rule: "?"
// (a side name's place) matches any character, "\" and "/" are alike, case is ignored.
bool StartsWithDocumentPath(std::string_view path, std::string_view document_path);

}  // namespace scantora
