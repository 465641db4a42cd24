// The Code 128 symbol characters: values 0-106 with their element widths, and a 108th row,
// value 107, for the first six elements of the stop character met from its right end.
#pragma once

#include <cstdint>

#include "imaging/barcode/module_pattern_index.h"

namespace pixdoc::barcode {

inline constexpr int kCode128StartA = 103;
inline constexpr int kCode128StartB = 104;
inline constexpr int kCode128StartC = 105;
inline constexpr int kCode128Stop = 106;
inline constexpr int kCode128StopReversed = 107;

struct Code128Row {
    int32_t widths;  // six element widths in modules, hexadecimal digits, first element on top
    char set_a;      // the character in code set A (values 0-95)
    char set_b;      // the character in code set B (values 0-95)
};

// The value whose widths are `widths`, or -1.
int FindCode128Value(int32_t widths);

// The same look-up by pattern index (ModulePatternIndex of the widths): row[index] is the
// value, or -1.
const ModulePatternTable<6>& Code128Patterns();

const Code128Row& Code128TableRow(int value);

}  // namespace pixdoc::barcode
