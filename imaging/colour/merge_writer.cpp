#include "imaging/colour/merge_writer.h"

#include <algorithm>
#include <cstring>

#include "imaging/window/zoom.h"

namespace pixdoc {
namespace {

constexpr int32_t kHalf = kScaleOne / 2;

// Writes one source row into destination row y, from the destination's left edge.
void WriteRow(ColourEditState& edit, int32_t y, int32_t first_column, int32_t columns,
              const uint8_t* row) {
    MergeWriterState& w = edit.writer;
    const int32_t right = std::min(w.destination.right, edit.width);
    int32_t x = w.destination.left;
    if (x >= right) return;
    uint8_t* out = EditPixel(edit, x, y);
    const int32_t bytes = w.rgb ? 3 : 1;
    int32_t accumulator = kHalf;
    for (int32_t c = std::max(w.origin_column, first_column); c < first_column + columns; ++c) {
        accumulator += w.horizontal_scale;
        const uint8_t* in = row + static_cast<size_t>(c - first_column) * bytes;
        const uint8_t* pixel = w.rgb ? in : (*w.palette)[*in];
        while (accumulator >= kScaleOne) {
            accumulator -= kScaleOne;
            std::memcpy(out, pixel, 3);
            out += 3;
            if (++x >= right) return;
        }
    }
}

// Copies the written part of destination row `from` into row `to`.
void CopyRow(ColourEditState& edit, int32_t from, int32_t to) {
    const MergeWriterState& w = edit.writer;
    const int32_t right = std::min(w.destination.right, edit.width);
    if (w.destination.left >= right) return;
    std::memcpy(EditPixel(edit, w.destination.left, to), EditPixel(edit, w.destination.left, from),
                static_cast<size_t>(right - w.destination.left) * 3);
}

// Rows arriving in the file's order: source row r covers destination rows d(r) .. d(r + 1) - 1.
void PlaceByRowNumber(ColourEditState& edit, int32_t r, int32_t first_column, int32_t columns,
                      const uint8_t* row) {
    const MergeWriterState& w = edit.writer;
    const int64_t offset = static_cast<int64_t>(r) - w.origin_row;
    const int64_t d0 = w.destination.top + offset * w.vertical_scale / kScaleOne;
    int64_t d1 = w.destination.top + (offset + 1) * w.vertical_scale / kScaleOne;
    d1 = std::max(d1, d0 + 1);
    const int64_t bottom = std::min(w.destination.bottom, edit.height);
    if (d0 >= bottom) return;
    WriteRow(edit, static_cast<int32_t>(d0), first_column, columns, row);
    for (int64_t d = d0 + 1; d < std::min(d1, bottom); ++d)
        CopyRow(edit, static_cast<int32_t>(d0), static_cast<int32_t>(d));
}

// Rows arriving top-down: each source row adds the vertical scale to the accumulator and is
// written once for every whole destination row it holds.
void PlaceInSequence(ColourEditState& edit, int32_t first_column, int32_t columns,
                     const uint8_t* row) {
    MergeWriterState& w = edit.writer;
    const int32_t bottom = std::min(w.destination.bottom, edit.height);
    w.row_accumulator += w.vertical_scale;
    int32_t written = -1;
    while (w.row_accumulator >= kScaleOne) {
        w.row_accumulator -= kScaleOne;
        if (w.next_destination_row >= bottom) continue;
        if (written < 0) {
            WriteRow(edit, w.next_destination_row, first_column, columns, row);
            written = w.next_destination_row;
        } else {
            CopyRow(edit, written, w.next_destination_row);
        }
        ++w.next_destination_row;
    }
}

}  // namespace

void StartMergeWriter(ColourEditState& edit) {
    MergeWriterState& w = edit.writer;
    w.column_accumulator = kHalf;
    w.row_accumulator = kHalf;
    w.next_destination_row = w.destination.top;
}

int MergeWriterRows(void* user, int32_t first_column, int32_t first_row, int32_t columns,
                    int32_t end_row, const uint8_t* rows) {
    auto& edit = *static_cast<ColourEditState*>(user);
    const MergeWriterState& w = edit.writer;
    const size_t row_bytes = static_cast<size_t>(columns) * (w.rgb ? 3 : 1);
    for (int32_t r = std::max(first_row, w.origin_row); r < end_row; ++r) {
        const uint8_t* row = rows + static_cast<size_t>(r - first_row) * row_bytes;
        if (w.file_order)
            PlaceByRowNumber(edit, r, first_column, columns, row);
        else
            PlaceInSequence(edit, first_column, columns, row);
    }
    return 0;
}

}  // namespace pixdoc
