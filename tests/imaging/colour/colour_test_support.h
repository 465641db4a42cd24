// Helpers of the colour tests: fixture files, a collecting line callback, decoding
// through it, and the colour edit buffer reset around each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/colour/colour_edit.h"
#include "imaging/decode/colour/colour_state.h"
#include "pixdoc32.h"
#include "tests/imaging/decode/jpeg/jpeg_test_support.h"

namespace colour_test {

inline std::string FixturePath(const std::string& name) {
    return std::string(TEST_FIXTURE_DIR) + "/colour/" + name;
}

// Files and binary PPM pictures (red, green, blue, top row first) as the JPEG tests read them.
using Rgb = jpeg_test::Image;
using jpeg_test::ReadFile;
using jpeg_test::ReadPnm;

// Collects what the line callback delivers into an RGB image and counts each row's deliveries.
struct Collector {
    Rgb image;
    int32_t bytes_per_pixel = 3;
    std::vector<int> deliveries;  // per row
    int calls = 0;
    int refuse_after = -1;  // refuse the call with this number (0-based)
    bool bad_range = false;
    int next_row = 0;      // the row after the last delivery
    bool in_order = true;  // every delivery began where the last one ended

    void Prepare(const pixdoc::ColourDecoderState& s) {
        image.width = s.width;
        image.height = s.height;
        image.pixels.assign(static_cast<size_t>(s.width) * s.height * 3, 0);
        deliveries.assign(static_cast<size_t>(s.height), 0);
        bytes_per_pixel = s.output_mode == pixdoc::ColourOutputMode::kRgb ? 3 : 1;
    }

    static int Callback(void* user, int32_t first_column, int32_t first_row, int32_t columns,
                        int32_t end_row, const uint8_t* rows) {
        auto* c = static_cast<Collector*>(user);
        if (c->refuse_after >= 0 && c->calls == c->refuse_after) return 1;
        ++c->calls;
        c->in_order = c->in_order && first_row == c->next_row;
        c->next_row = end_row;
        if (first_column < 0 || columns < 1 || first_column + columns > c->image.width ||
            first_row < 0 || end_row <= first_row || end_row > c->image.height) {
            c->bad_range = true;
            return 0;
        }
        for (int32_t y = first_row; y < end_row; ++y) {
            ++c->deliveries[y];
            const uint8_t* in =
                rows + static_cast<size_t>(y - first_row) * columns * c->bytes_per_pixel;
            uint8_t* out = c->image.pixels.data() +
                           (static_cast<size_t>(y) * c->image.width + first_column) * 3;
            for (int32_t x = 0; x < columns; ++x) {
                for (int k = 0; k < 3; ++k)
                    out[3 * x + k] = in[x * c->bytes_per_pixel + (c->bytes_per_pixel == 3 ? k : 0)];
            }
        }
        return 0;
    }
};

// Recognises the container of the state's source, with a palette at hand; 0 when recognised.
inline int Recognise(pixdoc::ColourDecoderState& s) {
    static pixdoc::ColourPalette palette;
    s.palette = &palette;
    return pixdoc::RecogniseColourContainer(s);
}

// Decodes a recognised image through the collector; returns the decode result.
inline int DecodeInto(pixdoc::ColourDecoderState& s, Collector& c,
                      pixdoc::ColourOutputMode mode = pixdoc::ColourOutputMode::kRgb) {
    s.output_mode = mode;
    s.line_callback = &Collector::Callback;
    s.callback_user = &c;
    c.Prepare(s);
    return pixdoc::DecodeColourImage(s);
}

// Recognises and decodes a memory image into the collector; -100 when it is not recognised.
inline int DecodeMemory(const std::vector<uint8_t>& bytes, pixdoc::ColourDecoderState& s,
                        Collector& c,
                        pixdoc::ColourOutputMode mode = pixdoc::ColourOutputMode::kRgb) {
    pixdoc::SetColourSourceMemory(s, bytes.data(), static_cast<int64_t>(bytes.size()));
    if (Recognise(s) != 0) return -100;
    return DecodeInto(s, c, mode);
}

// Merges page 1 of a fixture whole into the colour edit buffer.
inline int32_t MergeWhole(const std::string& file) {
    return PX_ColorEditMergeImageEx(FixturePath(file).c_str(), 1, -1, -1, -1, -1, -1, -1, -1, -1);
}

// Tests that start and end without a colour edit buffer.
class EditTest : public testing::Test {
protected:
    void SetUp() override { pixdoc::ResetColourEdit(); }
    void TearDown() override { pixdoc::ResetColourEdit(); }
};

}  // namespace colour_test
