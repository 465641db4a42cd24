#include "imaging/decode/colour/jpeg_colour_reader.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "imaging/decode/colour_error_code.h"
#include "imaging/decode/jpeg/jpeg_decoder.h"

namespace pixdoc {
namespace {

// Reads the state's source through its own buffered calls.
class StateSource final : public jpeg::ByteSource {
public:
    explicit StateSource(ColourDecoderState& state) : state_(state) {}
    bool Seek(uint64_t offset) override {
        return offset <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) &&
               ColourSeek(state_, static_cast<int64_t>(offset));
    }
    int64_t Read(uint8_t* into, size_t size) override {
        const size_t n = std::min<size_t>(size, std::numeric_limits<int32_t>::max());
        return ColourRead(state_, into, static_cast<int32_t>(n));
    }

private:
    ColourDecoderState& state_;
};

// A stream that is not three-component colour, asked for as RGB: the decoder gives grey levels,
// the caller was promised three bytes per pixel.
bool SpreadsGreyToRgb(const ColourDecoderState& state) {
    return state.output_mode == ColourOutputMode::kRgb && state.components > 0 &&
           state.components != 3;
}

// Hands rows to the state's line callback and keeps its row counter.
class StateSink final : public jpeg::RowSink {
public:
    explicit StateSink(ColourDecoderState& state)
        : state_(state), spread_(SpreadsGreyToRgb(state)) {}
    int DeliverRows(int first_column, int first_row, int columns, int row_after_last,
                    const uint8_t* rows) override {
        if (state_.rows_per_chunk <= 0) state_.rows_per_chunk = row_after_last - first_row;
        state_.row_counter = row_after_last;
        if (!state_.line_callback) return 0;
        if (spread_)
            rows = Spread(rows, static_cast<size_t>(columns) * (row_after_last - first_row));
        return state_.line_callback(state_.callback_user, first_column, first_row, columns,
                                    row_after_last, rows);
    }

private:
    const uint8_t* Spread(const uint8_t* grey, size_t pixels) {
        rgb_.resize(3 * pixels);
        for (size_t i = 0; i < pixels; ++i)
            rgb_[3 * i] = rgb_[3 * i + 1] = rgb_[3 * i + 2] = grey[i];
        return rgb_.data();
    }

    ColourDecoderState& state_;
    const bool spread_;
    std::vector<uint8_t> rgb_;
};

jpeg::DecodeOptions OptionsOf(ColourDecoderState& state) {
    jpeg::DecodeOptions options;
    options.output_mode = SpreadsGreyToRgb(state) ? ColourOutputMode::kGrey : state.output_mode;
    options.first_row = state.window_first_row;
    options.rows = state.window_rows;
    options.use_simd = true;
    if (state.palette) {
        options.palette = &(*state.palette)[0][0];
        options.palette_size = kPaletteEntries;
    }
    return options;
}

}  // namespace

int JpegReadHeader(ColourDecoderState& state) {
    SetColourError(kColourOk);  // a run starts clean; its first failure sets the code
    const int64_t start = ColourTell(state);
    StateSource source(state);
    jpeg::HeaderInfo info;
    const jpeg::DecodeOptions options = OptionsOf(state);
    int error = 0;
    if (jpeg::ReadJpegHeader(source, options, info, &error) < 0) {
        ColourSeek(state, start);
        return ColourFail(state, error);
    }
    ColourSeek(state, start);
    state.width = info.width;
    state.height = info.height;
    state.bits_per_pixel = info.bits_per_pixel;
    state.components = info.components;
    state.x_resolution = info.resolution;
    state.y_resolution = info.resolution;
    if (state.palette) state.palette_entries = info.palette_entries;
    return 0;
}

int JpegDecode(ColourDecoderState& state) {
    SetColourError(kColourOk);
    StateSource source(state);
    StateSink sink(state);
    state.row_counter = std::max(0, state.window_first_row);
    int error = 0;
    if (jpeg::DecodeJpeg(source, sink, OptionsOf(state), &error) < 0)
        return ColourFail(state, error);
    return 0;
}

}  // namespace pixdoc
