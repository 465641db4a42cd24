// The bitmap-row-to-change-list converter.
#pragma once

#include <cstdint>

namespace pixdoc::bilevel {

// Converts one bitmap row (first pixel in the most significant bit of the first byte, 1 is
// black) of `width` pixels to a change list, 64 pixels at a time, and writes the width five
// times after the last change. Reads (width + 7) / 8 bytes of `row`; writes at most
// width + 5 entries of `changes`. Returns the number of changes before the sentinels.
int RowToChanges(const uint8_t* row, int width, int16_t* changes);

}  // namespace pixdoc::bilevel
