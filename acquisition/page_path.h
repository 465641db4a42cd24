// The page path: where a scanned page or document file goes in the work area.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace scantora {

// The job values the page path is built from.
struct PagePathRules {
    std::string root;                       // DISCO_SCARICO
    std::span<const std::string> patterns;  // COMPOSNOME_n of the levels in use, level 1 first
    std::string_view front_name;            // NOMEFRONTE
    std::string_view back_name;             // NOMERETRO
};

// Directory (up to and including the last separator), base name and extension (after the last
// "." of the file name; empty when the name has none).
struct PagePathParts {
    std::string directory;
    std::string base_name;
    std::string extension;
};

// Builds the native page path: the root followed by the name part of every level whose code is
// not empty (name_composition.h), with the back name for a back side. Gives nothing when the
// result is not absolute (a separator or a drive letter, ":" and a separator first) or when the
// path or a level's part did not fit its bound (kMaxPathText, kMaxComposedText characters).
std::optional<std::string> ComposePagePath(const PagePathRules& rules,
                                           std::span<const std::string> codes, bool back_side);

// Creates every directory along `path` that does not exist yet (each prefix ending before a
// separator, after the root). Returns false when one could not be created.
bool CreatePathDirectories(std::string_view path);

PagePathParts SplitPagePath(std::string_view path);

}  // namespace scantora
