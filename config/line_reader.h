// Line-oriented reading of the configuration text files.
#pragma once

#include <istream>
#include <string>

namespace scantora {

// Reads the next line into `line` without its line end. Only real line-end characters are
// dropped (LF, or CR LF), so a last line without a line end keeps all of its characters.
// Returns false at the end of the input.
bool ReadTextLine(std::istream& in, std::string& line);

}  // namespace scantora
