// The job-wide MADRE/PADRE patterns of the work area and the matching of a page path against
// them, through which the transfer dialog recognises documents and their level values.
//
// Paths and patterns are compared character by character (UTF-8; a byte that is not part of a
// valid character counts as one character), ignoring ASCII case, with "\" and "/" alike.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "transfer/composition.h"

namespace scantora {

// The patterns of the pages named with one side name. Front and back names may differ in
// length, so each side name has patterns of its own.
struct SidePatterns {
    std::string side_name;
    std::string madre;  // root + MADRE compositions: "!" wherever a level value goes
    std::string padre;  // root + PADRE compositions: the level's byte 1..9 at those places
    // Per character of the patterns: the level (1..9, 0 for none) and the character of its value
    // that lands there, so that a character pick and the whole value agree on one value.
    ComposedName places;
};

struct DiscoveryPatterns {
    // The front name's first (SideNames); a side whose patterns equal another's is left out.
    std::vector<SidePatterns> sides;
    // Width in characters of every shown level (0 for the others): the width of its values.
    std::array<std::size_t, kLevelSlots> value_widths{};
};

using LevelValues = std::array<std::string, kLevelSlots>;

// DISCO_SCARICO followed by the compositions of the shown levels (`rules`, level 1 first), in
// MADRE and PADRE mode, for each side name; separators are native.
DiscoveryPatterns BuildDiscoveryPatterns(std::string_view root, std::span<const std::string> rules,
                                         const CompositionJob& job);

// The path a directory walk compares: the directory as searched (ending in a separator) and the
// file name in upper case.
std::string DiscoveryPath(std::string_view directory, std::string_view file_name);

// Matches `path` (as DiscoveryPath builds it) against one side's patterns: the path reaches at
// least the pattern's last "!", "!" and "?" match any character (a "?" beyond the path's end
// too), any other character must be equal. Gives the value of every level the patterns place,
// each `widths` characters wide with "?" where no character of it shows, or nothing when the
// path does not fit or a level's characters disagree with each other.
std::optional<LevelValues> MatchSidePatterns(std::string_view path, const SidePatterns& side,
                                             std::span<const std::size_t, kLevelSlots> widths);

// Matches `path` against the patterns of every side name; when several fit, the longest pattern
// (the one that reads most of the path) gives the values.
std::optional<LevelValues> MatchDiscoveryPath(std::string_view path,
                                              const DiscoveryPatterns& patterns);

// Whether `path` begins with a document path composed in FIGLIO mode: "?" matches any character,
// "\" and "/" are alike, case is ignored.
bool StartsWithDocumentPath(std::string_view path, std::string_view document_path);

// One document of the work area as the transfer handles it: the level values discovery read
// (a row) and the document paths composed from them (one per side name).
struct DocumentSelection {
    LevelValues values;
    std::vector<std::string> paths;
};

// Whether `path` (as DiscoveryPath builds it) is a page file of `document`: it begins with one
// of the document's paths and discovery reads the document's values from it (ignoring ASCII
// case). The values are checked too because a path can begin with another document's path when
// the side names differ in length (front "F" and back "FX" make "…F" + "X12" and "…FX" + "12Z").
bool IsDocumentPage(std::string_view path, const DocumentSelection& document,
                    const DiscoveryPatterns& patterns);

}  // namespace scantora
