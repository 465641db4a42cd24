// How far the symbol found last leans: its first and last bar followed upward through the
// decoded page (PX_FindBarcodeSkew), and the page straightened by that slope
// (PX_DeskewBarCode).
#pragma once

#include <cstdint>

#include "imaging/decode/bilevel/page_bitmap.h"

namespace pixdoc::barcode {

struct EdgeEnd {
    int32_t x = 0;
    int32_t y = 0;
};

// From column x of row y, climbs while row y holds a set pixel at x - 1, x or x + 1, taking the
// leftmost as the new x and going up a row; ends above the last row that had one (-1 past row
// 0). A start outside the page ends at once.
EdgeEnd FollowBarUp(const bilevel::PageBitmap& page, int32_t x, int32_t y);

}  // namespace pixdoc::barcode
