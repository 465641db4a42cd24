// A whole bilevel page decoded 1:1 into one bitmap, for the services that work on its pixels
// (skew measurement and correction) and the decode tool.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pixdoc32.h"

namespace pixdoc::bilevel {

struct PageBitmap {
    int32_t width = 0;
    int32_t height = 0;
    size_t row_bytes = 0;
    std::vector<uint8_t> rows;  // first pixel in the top bit; set bits as stored
    int32_t error_code = 0;     // the line decoder's result where decoding stopped, 0 if it did not
    int32_t error_line = 0;

    bool IsSet(int32_t x, int32_t y) const {
        return (rows[size_t(y) * row_bytes + size_t(x) / 8] >> (7 - x % 8)) & 1;
    }
    uint8_t* Row(int32_t y) { return rows.data() + size_t(y) * row_bytes; }
    const uint8_t* Row(int32_t y) const { return rows.data() + size_t(y) * row_bytes; }
};

enum class PageDecodeResult { kDecoded, kSetUpFailed, kNoMemory };

// Decodes the page of `h` (filled by OpenImageHeader; h.handle holds its file, opened by the
// caller) as stored, orientation ignored, into rows of (width + 7) / 8 bytes rounded up to a
// multiple of `row_alignment`. Rows after a stop stay white; the stop is kept in the bitmap.
PageDecodeResult DecodePageBitmap(ImageHeader& h, PageBitmap& page, size_t row_alignment = 1);

// Inverts a page whose set bits are white (the negative flag), so that set bits are black; the
// bits past the width stay clear.
void InvertPage(PageBitmap& page);

}  // namespace pixdoc::bilevel
