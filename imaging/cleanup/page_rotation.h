// Turning a bilevel page by a small angle about its centre, on the same canvas.
#pragma once

#include "imaging/decode/bilevel/page_bitmap.h"

namespace pixdoc::cleanup {

// The page turned so that a line of slope rise / run (rows counted downwards: a positive slope
// descends to the right) becomes horizontal, that is counter-clockwise by atan(rise / run) as
// the page is seen. Same size as `page`; every output pixel takes the source pixel under its
// centre (nearest neighbour), and what comes from outside the page is white. `run` must not be
// 0.
bilevel::PageBitmap Straightened(const bilevel::PageBitmap& page, int32_t rise, int32_t run);

}  // namespace pixdoc::cleanup
