#include "imaging/decode/bilevel/line_face.h"

#include <climits>
#include <cstdlib>
#include <utility>

#include "imaging/decode/bilevel/change_list.h"
#include "imaging/decode/bilevel/input_reader.h"

namespace pixdoc::bilevel {
namespace {

enum Block { kColumnMapBlock, kBandBlock, kInputBlock, kTurnBlock };

int32_t ByteBudget(const ImageHeader& h) {
    if ((h.compression & kCodingMask) != kUncompressed) return INT32_MAX;
    // Whole rows: a width that is not a multiple of 8 still stores (width + 7) / 8 bytes.
    const int64_t bytes = (int64_t(h.width) + 7) / 8 * h.height;
    return bytes > INT32_MAX ? INT32_MAX : int32_t(bytes);
}

bool ValidStripTable(const ImageHeader& h) {
    const PixdocStripTable* t = StripTable(h);
    return t && t->rows_per_strip > 0 && t->strip_count > 0 && t->strip_offsets &&
           t->strip_byte_counts;
}

bool AllocateInput(ImageHeader& h) {
    const int32_t capacity =
        InputCapacity(h.width, h.refill_chunk, h.decode_flags & kFlagChunkGiven);
    const size_t list_bytes = sizeof(int16_t) * size_t(ChangeListEntries(h.width));
    const size_t scratch = (size_t(h.width) + 7) / 8;
    const size_t lists_at = (size_t(capacity) + kGuardBytes + scratch + 1) & ~size_t(1);
    auto* block = static_cast<uint8_t*>(std::calloc(lists_at + 2 * list_bytes, 1));
    if (!block) return false;
    h.input_buffer = block;
    h.input_bytes = capacity;
    h.current_line = reinterpret_cast<int16_t*>(block + lists_at);
    h.reference_line = reinterpret_cast<int16_t*>(block + lists_at + list_bytes);
    ResetToEmptyLine(h.current_line, h.width);
    ResetToEmptyLine(h.reference_line, h.width);
    h.memory_handles[kInputBlock] = 1;
    return true;
}

// Positions the input at the first line of the strip holding first_row (multi-strip pages) or
// at the data offset.
bool PositionInput(ImageHeader& h, int32_t first_row) {
    if (!IsMultiStrip(h)) {
        h.current_source_line = 0;
        return StartSingleStrip(h);
    }
    const int32_t rows = StripTable(h)->rows_per_strip;
    const int32_t strip = first_row / rows;
    h.current_source_line = strip * rows;
    return StartStrip(h, strip);
}

}  // namespace

int32_t LineFaceSetUp(ImageHeader& h, int32_t first_row) {
    BilevelRelease(h);
    if (!(h.decode_flags & kFlagBudgetGiven)) h.byte_budget = ByteBudget(h);
    if (!(h.decode_flags & kFlagChunkGiven)) h.refill_chunk = kDefaultRefillChunk;
    const bool bad = h.width <= 0 || h.width > kMaxLineWidth || h.height <= 0 ||
                     h.refill_chunk <= 0 || h.refill_chunk > kMaxRefillChunk || h.byte_budget < 0 ||
                     (h.compression & ~(kCodingMask | kMultiStrip)) != 0 ||
                     (IsMultiStrip(h) && !ValidStripTable(h)) || first_row < 0 ||
                     first_row >= h.height;
    if (bad || !AllocateInput(h)) {
        BilevelRelease(h);
        return kSetUpFailed;
    }
    h.end_reached = 0;
    h.lines_skipped = 0;
    if (!PositionInput(h, first_row)) {
        BilevelRelease(h);
        return kSetUpFailed;
    }
    return 0;
}

int32_t LineFaceNextLine(ImageHeader& h) {
    if (!h.input_buffer || h.current_source_line >= h.height) return kLineEnd;
    const PixdocStripTable* strips = StripTable(h);
    int32_t line_in_strip = h.current_source_line;
    if (strips) {
        line_in_strip = h.current_source_line % strips->rows_per_strip;
        if (line_in_strip == 0 &&
            h.current_source_line / strips->rows_per_strip != strips->current_strip) {
            // Each strip is coded on its own: start from an empty reference line.
            StartStrip(h, h.current_source_line / strips->rows_per_strip);
            ResetToEmptyLine(h.current_line, h.width);
        }
    }
    Refill(h);
    std::swap(h.current_line, h.reference_line);
    if (strips && line_in_strip == 0) ResetToEmptyLine(h.reference_line, h.width);
    LineInput in = CurrentInput(h);
    const int32_t r = DecodeLine(h.compression, h.reference_line, h.current_line, h.width,
                                 line_in_strip, in, RowScratch(h));
    StoreInput(h, in);
    if (r == kLineGood || r == kLineDamaged) ++h.current_source_line;
    return r;
}

void BilevelRelease(ImageHeader& h) {
    std::free(h.column_map);
    std::free(h.band_buffer);
    std::free(h.input_buffer);
    std::free(h.turn_buffer);
    h.column_map = nullptr;
    h.band_buffer = nullptr;
    h.input_buffer = nullptr;
    h.turn_buffer = nullptr;
    h.current_line = nullptr;
    h.reference_line = nullptr;
    h.band_bytes = 0;
    h.input_bytes = 0;
    for (int32_t& m : h.memory_handles)
        m = 0;
}

}  // namespace pixdoc::bilevel
