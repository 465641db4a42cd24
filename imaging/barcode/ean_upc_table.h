// The EAN/UPC digit table and the EAN-13 parity table of the leading digit.
#pragma once

#include <cstdint>

namespace pixdoc::barcode {

inline constexpr int kEanDigitRows = 10;  // rows 0-9: L and R digits
inline constexpr int kEanAllRows = 20;    // rows 10-19: G digits

// The row (0-19) whose four element widths (modules as hexadecimal digits, first element on
// top) are `widths` in the given column among the first `rows` rows, or -1. Column 0 holds the
// widths met from the digit's left end, column 1 those met from its right end.
int FindEanDigitRow(int32_t widths, int column, int rows);

// The leading digit of an EAN-13 symbol from the G (1) / L (0) parity of its digits 2-6 (digit 2
// in the lowest bit), or -1 when no leading digit has that parity.
int EanLeadingDigit(unsigned g_parity);

}  // namespace pixdoc::barcode
