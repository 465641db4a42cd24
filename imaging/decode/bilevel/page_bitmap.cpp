#include "imaging/decode/bilevel/page_bitmap.h"

#include <cstring>
#include <new>

#include "imaging/decode/bilevel/band_face.h"
#include "imaging/decode/bilevel/change_list.h"
#include "imaging/decode/bilevel/line_codings.h"
#include "imaging/decode/bilevel/line_face.h"

namespace pixdoc::bilevel {

PageDecodeResult DecodePageBitmap(ImageHeader& h, PageBitmap& page, size_t row_alignment) {
    if (h.width <= 0 || h.height <= 0 || h.width > kMaxLineWidth || row_alignment == 0)
        return PageDecodeResult::kSetUpFailed;
    page.width = h.width;
    page.height = h.height;
    const size_t used_bytes = (size_t(h.width) + 7) / 8;
    page.row_bytes = (used_bytes + row_alignment - 1) / row_alignment * row_alignment;
    try {
        page.rows.assign(page.row_bytes * size_t(h.height), 0);
    } catch (const std::bad_alloc&) {
        return PageDecodeResult::kNoMemory;
    }
    h.output_width = int32_t(used_bytes * 8);
    h.output_height = h.height;
    h.horizontal_scale = h.vertical_scale = kOne;
    h.first_column = h.first_row = 0;
    h.orientation = 0;
    h.options = 0;
    h.decode_flags = kFlagSetUpNeeded;
    // A single strip's byte count keeps the decoder from reading past the page's data.
    if (h.compression < kMultiStrip && h.data_byte_count > 0) {
        h.byte_budget = h.data_byte_count;
        h.decode_flags |= kFlagBudgetGiven;
    }
    // Bound: every call delivers a band of rows, or ends; the rows beyond the page are dropped.
    for (;;) {
        const int32_t r = Decompress(&h);
        if (r == kBandsDone) break;
        if (r != kBandReady) return PageDecodeResult::kSetUpFailed;
        const int32_t top = h.rows_delivered - h.band_rows;
        for (int32_t i = 0; i < h.band_rows && top + i < h.height; ++i)
            std::memcpy(page.Row(top + i), h.band_buffer + size_t(i) * size_t(h.row_bytes),
                        used_bytes);
    }
    page.error_code = h.error_code;
    page.error_line = h.error_line;
    return PageDecodeResult::kDecoded;
}

void InvertPage(PageBitmap& page) {
    InvertBytes(page.rows.data(), int32_t(page.rows.size()));
    // Clear what lies past the width in each row: the last used byte's tail and any padding.
    const size_t used_bytes = (size_t(page.width) + 7) / 8;
    const uint8_t keep = page.width % 8 ? uint8_t(0xFF << (8 - page.width % 8)) : uint8_t(0xFF);
    for (int32_t y = 0; y < page.height; ++y) {
        uint8_t* row = page.Row(y);
        row[used_bytes - 1] &= keep;
        std::memset(row + used_bytes, 0, page.row_bytes - used_bytes);
    }
}

}  // namespace pixdoc::bilevel
