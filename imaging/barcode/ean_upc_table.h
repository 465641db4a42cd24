// The EAN/UPC digit table and the EAN-13 parity table of the leading digit.
#pragma once

#include <cstdint>

#include "imaging/barcode/module_pattern_index.h"

namespace pixdoc::barcode {

inline constexpr int kEanDigitRows = 10;  // rows 0-9: L and R digits
inline constexpr int kEanAllRows = 20;    // rows 10-19: G digits

// Direct look-up of the digit rows: in column 0 the widths met from a digit's left end, in column
// 1 those met from its right end. row[index] (index: ModulePatternIndex of the four element
// widths in modules) is the first of the 20 rows with those widths, or -1; rows 0-9 hold the L
// (and R) digits, rows 10-19 the G digits.
const ModulePatternTable<4>& EanDigitPatterns(int column);

// The leading digit of an EAN-13 symbol from the G (1) / L (0) parity of its digits 2-6 (digit 2
// in the lowest bit), or -1 when no leading digit has that parity.
int EanLeadingDigit(unsigned g_parity);

}  // namespace pixdoc::barcode
