// The Code 93 character table: values 0-42 with their full-ASCII translations, the four shift
// characters (values 43-46, numbered differently by the two types), and the start/stop
// character (47).
#pragma once

#include <cstdint>

#include "imaging/barcode/module_pattern_index.h"

namespace pixdoc::barcode {

inline constexpr int kCode93ShiftFirst = 43;
inline constexpr int kCode93StartStop = 47;
inline constexpr int32_t kCode93StartStopReversed = 0x114111;  // met from the right end

// "Code 93" numbers the shifts ($) (/) (+) (%); "Code 93 Type 2" as the standard does,
// ($) (%) (/) (+). The numbering enters the check characters.
enum class Code93Type { kCode93, kType2 };

enum class Code93Shift { kDollar, kPercent, kSlash, kPlus };

// The value (0-47) whose six element widths (modules in hexadecimal digits) are `widths`, or -1.
int FindCode93Value(int32_t widths, Code93Type type);

// The same look-up by pattern index (ModulePatternIndex of the widths): row[index] is the
// value, or -1.
const ModulePatternTable<6>& Code93Patterns(Code93Type type);

// The shift a value of 43-46 stands for in the given type.
Code93Shift Code93ShiftOf(int value, Code93Type type);

// The character of a value below 43, plain or after a shift; 0 where the full-ASCII table has
// none.
char Code93Character(int value);
char Code93Shifted(int value, Code93Shift shift);

}  // namespace pixdoc::barcode
