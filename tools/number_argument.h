// How the tools read a number given on the command line.
#pragma once

namespace pixdoc::tools {

// The whole of `text` as a number in `base` (as strtol takes it: 0 also reads 0x and 0 forms)
// from min to max into out; false, with out unchanged, for anything else.
bool ParseNumber(const char* text, int base, long min, long max, long& out);

}  // namespace pixdoc::tools
