// Paths as written in configuration values: "\" and "/" are both separators.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace scantora {

// The text after the last "\" or "/" of `path` (all of it when there is none).
std::string FileNamePart(std::string_view path);

// The directory part of `path`, before its last "\" or "/" (empty when there is none).
std::string DirectoryPart(std::string_view path);

// `path` with every "\" turned into the native separator.
std::filesystem::path NativePath(std::string_view path);

}  // namespace scantora
