// The colour edit buffer: one library-wide 24-bit raster into which pages of any kind are merged
// at a chosen size and position, and the state every merge reuses. One instance, reached through
// ColourEdit(); tests start from ResetColourEdit().
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/decode/colour/colour_state.h"
#include "pixdoc32.h"

namespace pixdoc {

// Bytes kept after the last pixel row, for readers that look a little past a row's end.
inline constexpr int32_t kEditSpareBytes = 4096;
// Resolution the barcode search assumes while a buffer exists.
inline constexpr int32_t kEditWorkingResolution = 200;

// A destination or source rectangle: columns left .. right - 1, rows top .. bottom - 1.
struct EditRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
};

// The nearest-neighbour scaler's state of the merge in progress.
struct MergeWriterState {
    EditRect destination;
    int32_t origin_row = 0, origin_column = 0;  // source pixel placed at the destination corner
    int32_t horizontal_scale = 0, vertical_scale = 0;  // destination pixels per 2048 source
    int32_t column_accumulator = 0, row_accumulator = 0;
    int32_t next_destination_row = 0;  // top-down delivery
    bool file_order = false;           // rows arrive in the file's order (BMP, GIF)
    const ColourPalette* palette = nullptr;
    bool rgb = false;  // three bytes per delivered pixel
};

struct ColourEditState {
    bool active = false;
    int32_t width = 0, height = 0;
    std::vector<uint8_t> pixels;  // rows top-down, 3 bytes per pixel, then kEditSpareBytes
    // Edit options reset by every start.
    bool memory_mode = false, memory_centre = false, square_scale = false;
    ImageHeader merge_header{};
    ColourDecoderState decoder;
    MergeWriterState writer;
};

ColourEditState& ColourEdit();
// Frees the buffer and clears every field (tests).
void ResetColourEdit();

// Pointer to the pixel at (x, y) of the buffer; the caller keeps within the buffer.
inline uint8_t* EditPixel(ColourEditState& edit, int32_t x, int32_t y) {
    return edit.pixels.data() + (static_cast<size_t>(y) * edit.width + x) * 3;
}

}  // namespace pixdoc
