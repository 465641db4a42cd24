// Where the program and its setup directory are.
#pragma once

#include <filesystem>
#include <string_view>

namespace scantora {

// The directory part of the program path `argv0` (cut at its last "\" or, without one, its
// last "/"). Without a directory part: the directory of the running executable when the
// system tells it, else the current directory.
std::filesystem::path ProgramDirectory(std::string_view argv0);

// "<program directory>/setup": every file of the application lives there.
std::filesystem::path SetupDirectory(const std::filesystem::path& program_dir);

}  // namespace scantora
