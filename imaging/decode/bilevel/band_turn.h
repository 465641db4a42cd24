// Turning a band by the page orientation.
#pragma once

#include <cstdint>

namespace pixdoc::bilevel {

// Turns `rows` rows of `width` pixels (width / 8 bytes each) from `band` into `turned`:
// orientation 1 a quarter turn clockwise, 2 a half turn, 3 a quarter turn counter-clockwise.
// For 1 and 3 the result has `width` rows of rows / 8 bytes (rows a multiple of 8); for 2 the
// same shape. Both buffers hold rows * width / 8 bytes.
void TurnBand(const uint8_t* band, int rows, int width, int orientation, uint8_t* turned);

}  // namespace pixdoc::bilevel
