// The check every command-line tool makes on its file arguments: the library opens names
// beginning with "MD:" or "ML:" as images at memory addresses (and "TH:" as a directory offset
// into a file), which must never come from a command line.
#pragma once

namespace pixdoc::tools {

// Exit status of a tool that refused a file argument.
inline constexpr int kExitRefusedName = 1;

// True when the library would take `name` as a disk file. Otherwise prints one line naming
// `tool`, the argument and the "./" form that reaches a real file of that name, and returns
// false.
bool CheckFileArgument(const char* tool, const char* name);

}  // namespace pixdoc::tools
