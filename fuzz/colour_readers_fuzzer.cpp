// Colour container recognition and decoding of arbitrary bytes held in memory, in every output
// mode, with a window and a chunk size taken from the input, and a line callback that checks
// every delivery against the image and the window.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "imaging/decode/colour/colour_state.h"

namespace {

// Pictures larger than this are valid but only slow to fuzz.
constexpr int64_t kMaxFuzzPixels = 1 << 22;

struct Check {
    int32_t width, height, bytes_per_pixel;
};

int Deliver(void* user, int32_t first_column, int32_t first_row, int32_t columns, int32_t end_row,
            const uint8_t* rows) {
    const auto* c = static_cast<const Check*>(user);
    if (first_column < 0 || columns < 1 || first_column + columns > c->width || first_row < 0 ||
        end_row <= first_row || end_row > c->height || !rows)
        std::abort();
    // Touch every delivered byte so that the sanitizers see the whole block.
    volatile uint8_t sum = 0;
    const size_t bytes = static_cast<size_t>(columns) * (end_row - first_row) * c->bytes_per_pixel;
    for (size_t i = 0; i < bytes; ++i)
        sum = sum + rows[i];
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // The first byte chooses the delivery; the rest is the container.
    const uint8_t choice = data[0];
    static pixdoc::ColourPalette palette;
    static pixdoc::ColourDecoderState state;
    pixdoc::ResetColourState(state);
    pixdoc::SetColourSourceMemory(state, data + 1, static_cast<int64_t>(size - 1));
    state.palette = (choice & 0x80) ? nullptr : &palette;
    state.tiff_directory_index = (choice >> 5) & 1;
    if (pixdoc::RecogniseColourContainer(state) != 0) return 0;
    if (static_cast<int64_t>(state.width) * state.height > kMaxFuzzPixels) return 0;
    static constexpr pixdoc::ColourOutputMode kModes[] = {
        pixdoc::ColourOutputMode::kPaletteIndex, pixdoc::ColourOutputMode::kGrey,
        pixdoc::ColourOutputMode::kRgb, pixdoc::ColourOutputMode::kRgb};
    state.output_mode = kModes[choice & 3];
    if (choice & 4) {
        state.window_first_row = state.height / 3;
        state.window_first_column = state.width / 4;
        state.window_rows = state.height / 2;
        state.window_columns = state.width / 2;
    }
    state.rows_per_chunk = (choice >> 3) & 3;
    Check check{state.width, state.height,
                state.output_mode == pixdoc::ColourOutputMode::kRgb ? 3 : 1};
    state.line_callback = &Deliver;
    state.callback_user = &check;
    pixdoc::DecodeColourImage(state);
    return 0;
}
