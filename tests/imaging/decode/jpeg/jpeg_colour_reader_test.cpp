// The reader as the colour containers call it: header fields, read position, palette
// preparation and the line callback.
#include "imaging/decode/jpeg/jpeg_colour_reader.h"

#include <gtest/gtest.h>

#include "tests/imaging/decode/jpeg/jpeg_test_support.h"

namespace {

using namespace jpeg_test;

struct Delivery {
    Bytes pixels;
    int calls = 0;
    int next_row = 0;
    bool in_order = true;
    int width = 0;
    int bytes_per_pixel = 3;
    int refuse_at = -1;
};

int Collect(void* user, int32_t first_column, int32_t first_row, int32_t columns, int32_t end_row,
            const uint8_t* rows) {
    auto& d = *static_cast<Delivery*>(user);
    ++d.calls;
    if (first_column != 0 || columns != d.width || first_row != d.next_row) d.in_order = false;
    d.next_row = end_row;
    d.pixels.insert(
        d.pixels.end(), rows,
        rows + static_cast<size_t>(columns) * d.bytes_per_pixel * (end_row - first_row));
    return d.calls == d.refuse_at ? 1 : 0;
}

struct Prepared {
    Bytes data;
    pixdoc::ColourDecoderState state;
};

void Prepare(pixdoc::ColourDecoderState& s, const Bytes& data) {
    pixdoc::ResetColourState(s);
    pixdoc::SetColourSourceMemory(s, data.data(), static_cast<int64_t>(data.size()));
}

TEST(JpegColourReader, HeaderFieldsAndReadPositionKept) {
    Bytes data = ReadFile(Fixture("baseline420_q90.jpg"));
    pixdoc::ColourDecoderState s;
    Prepare(s, data);
    ASSERT_TRUE(pixdoc::ColourSeek(s, 0));
    ASSERT_EQ(pixdoc::JpegReadHeader(s), 0);
    EXPECT_EQ(s.width, 601);
    EXPECT_EQ(s.height, 397);
    EXPECT_EQ(s.bits_per_pixel, 24);
    EXPECT_EQ(s.components, 3);
    EXPECT_EQ(s.x_resolution, 1);  // cjpeg writes a 1:1 aspect ratio without units
    EXPECT_EQ(pixdoc::ColourTell(s), 0);

    Bytes grey = ReadFile(Fixture("grey_q85.jpg"));
    Prepare(s, grey);
    ASSERT_EQ(pixdoc::JpegReadHeader(s), 0);
    EXPECT_EQ(s.bits_per_pixel, 8);
    EXPECT_EQ(s.components, 1);
}

TEST(JpegColourReader, PalettePreparedAsGreyRampOrColourCube) {
    pixdoc::ColourPalette palette = {};
    pixdoc::ColourDecoderState s;
    Bytes grey = ReadFile(Fixture("grey_q85.jpg"));
    Prepare(s, grey);
    s.palette = &palette;
    ASSERT_EQ(pixdoc::JpegReadHeader(s), 0);
    EXPECT_EQ(s.palette_entries, 256);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(palette[i][0], i);
        EXPECT_EQ(palette[i][2], i);
    }
    Bytes colour = ReadFile(Fixture("baseline444_q75.jpg"));
    Prepare(s, colour);
    s.palette = &palette;
    ASSERT_EQ(pixdoc::JpegReadHeader(s), 0);
    EXPECT_EQ(s.palette_entries, 216);  // 6 levels per channel
    EXPECT_EQ(palette[215][0], 255);
    EXPECT_EQ(palette[215][1], 255);
    EXPECT_EQ(palette[1][2], 51);
}

TEST(JpegColourReader, DecodeDeliversTheCoreDecodersRows) {
    Bytes data = ReadFile(Fixture("baseline422_q85.jpg"));
    Decoded core = Decode(data);
    ASSERT_EQ(core.result, 0);

    pixdoc::ColourDecoderState s;
    Prepare(s, data);
    ASSERT_EQ(pixdoc::JpegReadHeader(s), 0);
    Delivery d;
    d.width = s.width;
    s.output_mode = pixdoc::ColourOutputMode::kRgb;
    s.line_callback = Collect;
    s.callback_user = &d;
    ASSERT_EQ(pixdoc::JpegDecode(s), 0);
    EXPECT_TRUE(d.in_order);
    EXPECT_EQ(d.next_row, 397);
    EXPECT_EQ(s.row_counter, 397);
    EXPECT_EQ(s.rows_per_chunk, 8);  // 2x1 sampling: MCU rows of 8
    EXPECT_EQ(d.pixels, core.image.pixels);
}

TEST(JpegColourReader, PaletteModeMapsOntoTheCube) {
    Bytes data = ReadFile(Fixture("baseline444_q75.jpg"));
    Decoded rgb = Decode(data);
    pixdoc::ColourPalette palette = {};
    pixdoc::ColourDecoderState s;
    Prepare(s, data);
    s.palette = &palette;
    s.output_mode = pixdoc::ColourOutputMode::kPaletteIndex;
    ASSERT_EQ(pixdoc::JpegReadHeader(s), 0);
    Delivery d;
    d.width = s.width;
    d.bytes_per_pixel = 1;
    s.line_callback = Collect;
    s.callback_user = &d;
    ASSERT_EQ(pixdoc::JpegDecode(s), 0);
    ASSERT_EQ(d.pixels.size(), rgb.image.pixels.size() / 3);
    // Each index names the cube entry nearest to the pixel: within half a level (51 / 2).
    for (size_t i = 0; i < d.pixels.size(); i += 97) {
        ASSERT_LT(d.pixels[i], 216);
        for (int ch = 0; ch < 3; ++ch)
            EXPECT_LE(std::abs(palette[d.pixels[i]][ch] - rgb.image.pixels[3 * i + ch]), 26);
    }
}

TEST(JpegColourReader, FailuresSetTheCodeInTheState) {
    Bytes data = ReadFile(Fixture("arithmetic.jpg"));
    pixdoc::ColourDecoderState s;
    Prepare(s, data);
    pixdoc::SetColourError(0);
    EXPECT_LT(pixdoc::JpegReadHeader(s), 0);
    EXPECT_EQ(s.error_code, pixdoc::kErrJpegUnsupported);
    EXPECT_EQ(pixdoc::GetColourError(), pixdoc::kErrJpegUnsupported);

    Bytes good = ReadFile(Fixture("baseline420_q90.jpg"));
    Prepare(s, good);
    pixdoc::SetColourError(0);
    ASSERT_EQ(pixdoc::JpegReadHeader(s), 0);
    Delivery d;
    d.width = s.width;
    d.refuse_at = 3;
    s.output_mode = pixdoc::ColourOutputMode::kRgb;
    s.line_callback = Collect;
    s.callback_user = &d;
    EXPECT_LT(pixdoc::JpegDecode(s), 0);
    EXPECT_EQ(s.error_code, pixdoc::kErrCallback);
    EXPECT_EQ(d.calls, 3);
    pixdoc::SetColourError(0);
}

}  // namespace
