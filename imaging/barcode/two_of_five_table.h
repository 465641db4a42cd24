// The digit patterns shared by interleaved 2 of 5 and IATA 2 of 5.
#pragma once

#include <cstdint>

namespace pixdoc::barcode {

inline constexpr int kTwoOfFiveElements = 5;
inline constexpr int kTwoOfFiveWideElements = 2;

// The digit whose five-element pattern (first element in the top bit, 1 = wide) is `pattern`,
// read from the symbol's left end (`backward` false) or right end; -1 if none.
int FindTwoOfFiveDigit(unsigned pattern, bool backward);

}  // namespace pixdoc::barcode
