// Line-oriented reading of the configuration text files.
#pragma once

#include <cstddef>
#include <istream>
#include <string>

namespace scantora {

// Longest line part kept by default: far above every value width, and a bound on the memory a
// file without line ends (a binary file) can take.
inline constexpr std::size_t kMaxLineKept = 64 * 1024;

// Reads the next line into `line` without its line end. Only real line-end characters are
// dropped (LF, or CR LF), so a last line without a line end keeps all of its characters.
// Characters beyond `max_kept` are read and discarded: a long line stays one line.
// Returns false at the end of the input.
bool ReadTextLine(std::istream& in, std::string& line, std::size_t max_kept = kMaxLineKept);

}  // namespace scantora
