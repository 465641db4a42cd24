// The saved identification file: the panel's lock states, entries and code displays, kept from
// one run to the next in the file named by INISAVEPARAM (its file name, in the setup directory).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scantora {

struct SavedLevel {
    bool locked = false;
    std::string entry;
    std::string display;
};

// The file's place: the file-name part of INISAVEPARAM in `setup_directory`.
std::string SavedIdentificationPath(std::string_view setup_directory,
                                    std::string_view inisaveparam);

// Writes three blocks of one line per level: lock states ("0"/"1"), entries, displays.
bool WriteSavedIdentification(std::string_view path, const std::vector<SavedLevel>& levels);

// Reads `level_count` levels back, each text as a job file's value (UTF-8, a Latin-1 line
// converted) of at most kMaxLevelValue characters; lines the file lacks read as empty. Nothing when
// the file does not exist or cannot be read.
std::optional<std::vector<SavedLevel>> ReadSavedIdentification(std::string_view path,
                                                               std::size_t level_count);

}  // namespace scantora
