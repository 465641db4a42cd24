// Directory listings of the work area as the transfer walks it: names beginning with "." are
// left out, and a directory reached through a symbolic link is listed as a file would be, so
// that a walk never leaves the tree or runs in a circle.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scantora {

struct WalkEntry {
    std::string name;  // as the file system spells it
    bool directory = false;
    std::uintmax_t size = 0;  // of a file; 0 for a directory
};

// The entries of `directory`; empty when it cannot be read.
std::vector<WalkEntry> ListDirectory(const std::string& directory);

// `directory` in native form, ending in a separator: the directory as a walk searches it.
// Empty for an empty `directory`.
std::string SearchedDirectory(std::string_view directory);

// Removes `directory` when it is empty; never anything that holds an entry.
bool RemoveIfEmpty(const std::string& directory);

}  // namespace scantora
