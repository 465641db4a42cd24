// The input-control file of a level: the list of codes the level accepts, one per line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scantora {

enum class InputControlStatus { kLoaded, kMissing, kUnreadable };

struct InputControlList {
    InputControlStatus status = InputControlStatus::kLoaded;
    std::vector<std::string> codes;  // the non-empty lines, each cut to kMaxControlLine characters
};

inline constexpr std::size_t kMaxControlLine = 250;

// Reads the file at `path` (either separator accepted) as the job files are read: LF and CR LF
// line ends are dropped, a line that is not UTF-8 is taken as Latin-1 and converted, and text
// from a NUL byte on is dropped.
InputControlList ReadInputControlFile(std::string_view path);

}  // namespace scantora
