// The Code 39 character table: 43 data characters and the start/stop character "*", each with
// its nine-element pattern (bar, space, ..., bar; 1 = wide) as read from the left (forward) and
// from the right end of the symbol (backward).
#pragma once

#include <span>

namespace pixdoc::barcode {

struct Code39Row {
    char character;
    int forward;   // bit 8 is the first element, bit 0 the ninth
    int backward;  // the same nine bits in reverse order
};

inline constexpr int kCode39StartForward = 148;  // "*" read from the left
inline constexpr int kCode39StartBackward = 82;  // "*" read from the right ("P" forward)

// The rows in search order: 1-9, 0, A-Z, "-", ".", space, "*", "$", "/", "+", "%".
std::span<const Code39Row> Code39Table();

// The first row whose forward (or backward) pattern is `pattern`, or null.
const Code39Row* FindCode39Forward(int pattern);
const Code39Row* FindCode39Backward(int pattern);

}  // namespace pixdoc::barcode
