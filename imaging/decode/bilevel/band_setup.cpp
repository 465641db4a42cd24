// Set-up of the band face: the output rectangle fitted to the page, the band and the column
// map, then the line face positioned at the first row.
#include <algorithm>
#include <cstdlib>

#include "imaging/decode/bilevel/band_face.h"
#include "imaging/decode/bilevel/change_list.h"
#include "imaging/decode/bilevel/line_face.h"

namespace pixdoc::bilevel {
namespace {

constexpr int32_t kHalf = kOne / 2;

bool Turned(const ImageHeader& h) {
    return h.orientation == 1 || h.orientation == 3;
}

// Source extent that maps into `output` pixels at `scale`.
int32_t SourceExtent(int32_t output, int32_t scale) {
    return int32_t(std::min<int64_t>(int64_t(output) * kOne / scale, INT32_MAX));
}

bool CheckGeometry(ImageHeader& h) {
    if (h.width <= 0 || h.height <= 0 || h.output_width <= 0 || h.output_width % 8 != 0 ||
        h.output_height <= 0 || h.orientation < 0 || h.orientation > 3)
        return false;
    if (h.orientation != 0) {
        h.output_height -= h.output_height % kBandRowStep;
        if (h.output_height <= 0) return false;
    }
    return h.horizontal_scale >= 1 && h.horizontal_scale <= kMaxScale && h.vertical_scale >= 1 &&
           h.vertical_scale <= kMaxScale;
}

// Fits the rectangle to the page. Rows and columns of the page orientation: the output row
// width and count are the output size exchanged for quarter turns.
bool Fit(ImageHeader& h) {
    h.output_row_width = Turned(h) ? h.output_height : h.output_width;
    h.output_row_count = Turned(h) ? h.output_width : h.output_height;
    if (h.width > kMaxLineWidth || h.output_row_width > kMaxLineWidth) return false;
    const bool fit = !(h.decode_flags & kFlagNoFit);
    if (fit) {
        if (h.first_column < 0 || h.first_column >= h.width) h.first_column = 0;
        if (h.first_row < 0 || h.first_row >= h.height) h.first_row = 0;
    }
    if (h.first_column < 0 || h.first_column >= h.width || h.first_row < 0 ||
        h.first_row >= h.height)
        return false;
    const int32_t columns = SourceExtent(h.output_row_width, h.horizontal_scale);
    const int32_t rows = SourceExtent(h.output_row_count, h.vertical_scale);
    if (fit) {
        h.visible_source_width = std::min(h.width, columns);
        h.first_column = std::min(h.first_column, h.width - h.visible_source_width);
        h.visible_source_height = std::min(h.height, rows);
        h.first_row = std::min(h.first_row, h.height - h.visible_source_height);
    } else {
        h.visible_source_width = std::min(h.width - h.first_column, columns);
        h.visible_source_height = std::min(h.height - h.first_row, rows);
    }
    return h.visible_source_width > 0 && h.visible_source_height > 0;
}

bool BuildColumnMap(ImageHeader& h) {
    if (h.width > kMaxLineWidth || h.output_row_width > kMaxLineWidth) return false;
    auto* map = static_cast<int32_t*>(std::malloc(sizeof(int32_t) * (size_t(h.width) + 1)));
    if (!map) return false;
    for (int32_t c = 0; c <= h.width; ++c) {
        const int64_t out = c < h.first_column
                                ? 0
                                : (kHalf + int64_t(c - h.first_column) * h.horizontal_scale) / kOne;
        map[c] = int32_t(std::min<int64_t>(out, h.output_row_width));
    }
    h.column_map = map;
    h.memory_handles[0] = 1;
    return true;
}

bool AllocateBand(ImageHeader& h) {
    h.row_bytes = h.output_row_width / 8;
    int32_t capacity = kMaxBandBytes / h.row_bytes;
    if (h.orientation == 0) capacity = std::min(capacity, kMaxBandRowsUpright);
    capacity -= capacity % kBandRowStep;
    h.band_capacity = std::max(capacity, kBandRowStep);
    h.band_bytes = h.row_bytes * h.band_capacity;
    h.band_buffer = static_cast<uint8_t*>(std::calloc(size_t(h.band_bytes), 1));
    if (!h.band_buffer) return false;
    h.memory_handles[1] = 1;
    if (h.orientation != 0) {
        h.turn_buffer = static_cast<uint8_t*>(std::calloc(size_t(h.band_bytes), 1));
        if (!h.turn_buffer) return false;
        h.memory_handles[3] = 1;
    }
    return true;
}

}  // namespace

int32_t BandSetUp(ImageHeader& h) {
    BilevelRelease(h);
    if (!CheckGeometry(h) || !Fit(h)) return kSetUpFailed;
    // The line face allocates the input and positions it; the band parts follow.
    if (LineFaceSetUp(h, h.first_row) != 0) return kSetUpFailed;
    if (!AllocateBand(h) || !BuildColumnMap(h)) {
        BilevelRelease(h);
        return kSetUpFailed;
    }
    h.vertical_accumulator = h.vertical_scale < kOne ? kOne - 1 : 0;
    h.rows_delivered = 0;
    h.band_rows = 0;
    h.end_reached = 0;
    h.error_code = 0;
    h.error_line = 0;
    h.decode_flags &= ~kFlagSetUpNeeded;
    return 0;
}

}  // namespace pixdoc::bilevel
