// The band face: Decompress drives the line face and paints the lines, scaled and cut to the
// output rectangle, into bands of output rows; RotateCoordinates places a band.
#include "imaging/decode/bilevel/band_face.h"

#include <algorithm>
#include <cstring>

#include "imaging/decode/bilevel/band_paint.h"
#include "imaging/decode/bilevel/band_turn.h"
#include "imaging/decode/bilevel/change_list.h"
#include "imaging/decode/bilevel/input_reader.h"
#include "imaging/decode/bilevel/line_face.h"

namespace pixdoc::bilevel {
namespace {

// Internal decode flag: some line has been ORed into the current row, which is not complete.
constexpr int32_t kFlagRowPending = 1 << 9;

RowMapping Mapping(const ImageHeader& h) {
    RowMapping m;
    m.column_map = h.column_map;
    m.first_column = h.first_column;
    m.end_column = h.first_column + h.visible_source_width;
    m.row_width = h.output_row_width;
    m.keep_thin_runs = (h.options & kOptionKeepThinRuns) != 0;
    m.one_to_one =
        h.first_column == 0 && h.horizontal_scale == kOne && h.output_row_width == h.width;
    return m;
}

bool SourceLinesRemain(const ImageHeader& h) {
    return h.current_source_line < h.first_row + h.visible_source_height;
}

bool Tolerated(const ImageHeader& h, int32_t result) {
    if (result != kLineDamaged) return false;
    if (IsMultiStrip(h)) return true;
    return (h.compression & kCodingMask) == kGroup3OneD && h.current_source_line <= kLenientLines &&
           h.read_position > h.refill_chunk;
}

// Decodes the next line; false when decoding stops (error kept in the record).
bool NextLine(ImageHeader& h) {
    const int32_t line = h.current_source_line;
    const int32_t r = LineFaceNextLine(h);
    if (r == kLineGood) return true;
    if (Tolerated(h, r)) {
        ResetToEmptyLine(h.current_line, h.width);
        return true;
    }
    h.error_code = r;
    h.error_line = line;
    h.end_reached = 1;
    return false;
}

void SeekFirstRow(ImageHeader& h) {
    // Bound: every good line advances the current source line; a failure ends the loop.
    while (!h.end_reached && h.current_source_line < h.first_row) {
        if (!NextLine(h)) return;
        ++h.lines_skipped;
    }
}

uint8_t* Row(ImageHeader& h) {
    return h.band_buffer + size_t(h.band_rows) * size_t(h.row_bytes);
}

void AdvanceRow(ImageHeader& h) {
    ++h.band_rows;
    ++h.rows_delivered;
    h.decode_flags &= ~kFlagRowPending;
}

bool OutputRowsRemain(const ImageHeader& h) {
    return h.rows_delivered < h.output_row_count;
}

void TurnIfAsked(ImageHeader& h) {
    if (h.orientation == 0 || h.band_rows == 0) return;
    TurnBand(h.band_buffer, h.band_rows, h.output_row_width, h.orientation, h.turn_buffer);
    std::memcpy(h.band_buffer, h.turn_buffer, size_t(h.band_rows) * size_t(h.row_bytes));
}

// Fills the band from the source lines; true when it stopped because the band is full.
bool FillBand(ImageHeader& h) {
    const RowMapping mapping = Mapping(h);
    const bool or_lines = (h.options & kOptionOrLines) != 0;
    // Bound: every pass either decodes a source line (finite, ends the loop when none remain)
    // or moves to the next output row; both stop at the band capacity and the output rows.
    while (OutputRowsRemain(h) && h.band_rows < h.band_capacity) {
        if (h.vertical_accumulator < kOne) {
            if (!SourceLinesRemain(h) || !NextLine(h)) return false;
            h.vertical_accumulator += h.vertical_scale;
            if (h.vertical_accumulator >= kOne || or_lines) {
                PaintLine(h.current_line, h.width, mapping, Row(h));
                h.decode_flags |= kFlagRowPending;
            }
        } else {
            PaintLine(h.current_line, h.width, mapping, Row(h));  // enlarging: the line again
        }
        if (h.vertical_accumulator >= kOne) {
            h.vertical_accumulator -= kOne;
            AdvanceRow(h);
        }
    }
    return true;
}

// The band after the last source line: the pending row, rounding to 16 rows.
void FinishLastBand(ImageHeader& h) {
    h.end_reached = 1;
    if ((h.options & kOptionOrLines) && (h.decode_flags & kFlagRowPending) && OutputRowsRemain(h) &&
        h.band_rows < h.band_capacity)
        AdvanceRow(h);
    if (h.band_rows == 0) return;
    const int32_t rounded = (h.band_rows + kBandRowStep - 1) / kBandRowStep * kBandRowStep;
    // Never past the output rows (a turned band must stay inside the output).
    const int32_t extra = std::min(rounded - h.band_rows, h.output_row_count - h.rows_delivered);
    h.band_rows += std::max(extra, 0);
    h.rows_delivered += std::max(extra, 0);
}

int32_t WhiteBandOrDone(ImageHeader& h) {
    if (!OutputRowsRemain(h)) {
        BilevelRelease(h);
        return kBandsDone;
    }
    std::memset(h.band_buffer, 0, size_t(h.band_bytes));
    h.band_rows = std::min(h.band_capacity, h.output_row_count - h.rows_delivered);
    h.rows_delivered += h.band_rows;
    return kBandReady;
}

}  // namespace

}  // namespace pixdoc::bilevel

using namespace pixdoc::bilevel;

PIXDOC_API int32_t Decompress(ImageHeader* header) {
    if (!header) return kSetUpFailed;
    ImageHeader& h = *header;
    if (h.decode_flags & kFlagSetUpNeeded) {
        if (BandSetUp(h) != 0) return kSetUpFailed;
    } else if (!h.band_buffer || !h.input_buffer) {
        return h.end_reached ? kBandsDone : kSetUpFailed;  // released, or never set up
    }
    if (h.end_reached) return WhiteBandOrDone(h);
    std::memset(h.band_buffer, 0, size_t(h.band_bytes));
    h.band_rows = 0;
    SeekFirstRow(h);
    if (!h.end_reached && FillBand(h)) {
        // The band is full, or every output row has been filled.
        if (!OutputRowsRemain(h)) h.end_reached = 1;
        if (h.band_rows == 0) return WhiteBandOrDone(h);
        TurnIfAsked(h);
        return kBandReady;
    }
    FinishLastBand(h);
    if (h.band_rows == 0) return WhiteBandOrDone(h);
    TurnIfAsked(h);
    return kBandReady;
}

PIXDOC_API int32_t RotateCoordinates(const ImageHeader* header, int32_t* x, int32_t* y,
                                     int32_t* width, int32_t* height) {
    if (!header || !x || !y || !width || !height) return 1;
    const ImageHeader& h = *header;
    switch (h.orientation) {
        case 1:
            *x = h.output_width - h.rows_delivered, *y = 0;
            *width = h.band_rows, *height = h.output_height;
            break;
        case 2:
            *x = 0, *y = h.output_height - h.rows_delivered;
            *width = h.output_width, *height = h.band_rows;
            break;
        case 3:
            *x = h.rows_delivered - h.band_rows, *y = 0;
            *width = h.band_rows, *height = h.output_height;
            break;
        default:
            *x = 0, *y = h.rows_delivered - h.band_rows;
            *width = h.output_width, *height = h.band_rows;
            break;
    }
    return 0;
}
