// The reader as the colour containers call it: header fields, read position, palette
// preparation and the line callback.
#include "imaging/decode/colour/jpeg_colour_reader.h"

#include <gtest/gtest.h>

#include "tests/imaging/colour/colour_test_support.h"
#include "tests/imaging/decode/jpeg/jpeg_test_support.h"

namespace {

using namespace jpeg_test;
using colour_test::Collector;

// Decodes the picture whose header `s` holds through the line callback into the collector.
int DecodeRows(pixdoc::ColourDecoderState& s, Collector& c, pixdoc::ColourOutputMode mode) {
    s.output_mode = mode;
    s.line_callback = &Collector::Callback;
    s.callback_user = &c;
    c.Prepare(s);
    return pixdoc::JpegDecode(s);
}

void Prepare(pixdoc::ColourDecoderState& s, const Bytes& data) {
    pixdoc::ResetColourState(s);
    pixdoc::SetColourSourceMemory(s, data.data(), static_cast<int64_t>(data.size()));
}

TEST(JpegColourReader, HeaderFieldsReadPositionAndPalette) {
    Bytes data = ReadFile(Fixture("baseline420_q90.jpg"));
    pixdoc::ColourDecoderState s;
    Prepare(s, data);
    ASSERT_TRUE(pixdoc::ColourSeek(s, 0));
    ASSERT_EQ(pixdoc::JpegReadHeader(s), 0);  // without a palette
    EXPECT_EQ(s.width, 601);
    EXPECT_EQ(s.height, 397);
    EXPECT_EQ(s.bits_per_pixel, 24);
    EXPECT_EQ(s.components, 3);
    EXPECT_EQ(s.x_resolution, 1);  // cjpeg writes a 1:1 aspect ratio without units
    EXPECT_EQ(pixdoc::ColourTell(s), 0);

    // Grey pictures prepare a grey ramp; colour ones a cube of 6 levels per channel.
    pixdoc::ColourPalette palette = {};
    Bytes grey = ReadFile(Fixture("grey_q85.jpg"));
    Prepare(s, grey);
    s.palette = &palette;
    ASSERT_EQ(pixdoc::JpegReadHeader(s), 0);
    EXPECT_EQ(s.bits_per_pixel, 8);
    EXPECT_EQ(s.components, 1);
    EXPECT_EQ(s.palette_entries, 256);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(palette[i][0], i);
        EXPECT_EQ(palette[i][2], i);
    }
    Bytes colour = ReadFile(Fixture("baseline444_q75.jpg"));
    Prepare(s, colour);
    s.palette = &palette;
    ASSERT_EQ(pixdoc::JpegReadHeader(s), 0);
    EXPECT_EQ(s.palette_entries, 216);
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
    Collector c;
    ASSERT_EQ(DecodeRows(s, c, pixdoc::ColourOutputMode::kRgb), 0);
    EXPECT_FALSE(c.bad_range);
    EXPECT_TRUE(c.in_order);
    EXPECT_EQ(c.next_row, 397);
    EXPECT_EQ(s.row_counter, 397);
    EXPECT_EQ(s.rows_per_chunk, 8);  // 2x1 sampling: MCU rows of 8
    EXPECT_EQ(c.image.pixels, core.image.pixels);
}

// The RGB promise holds for grey streams too: three bytes per pixel, each the grey level.
TEST(JpegColourReader, GreyStreamAskedAsRgbDeliversThreeEqualBytes) {
    Bytes data = ReadFile(Fixture("grey_q85.jpg"));
    pixdoc::ColourDecoderState s;
    Prepare(s, data);
    ASSERT_EQ(pixdoc::JpegReadHeader(s), 0);
    Collector grey;
    ASSERT_EQ(DecodeRows(s, grey, pixdoc::ColourOutputMode::kGrey), 0);

    Prepare(s, data);
    ASSERT_EQ(pixdoc::JpegReadHeader(s), 0);
    Collector rgb;
    ASSERT_EQ(DecodeRows(s, rgb, pixdoc::ColourOutputMode::kRgb), 0);
    EXPECT_EQ(rgb.bytes_per_pixel, 3);
    EXPECT_FALSE(rgb.bad_range);
    EXPECT_EQ(rgb.next_row, s.height);
    EXPECT_EQ(rgb.image.pixels, grey.image.pixels);
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
    Collector c;
    ASSERT_EQ(DecodeRows(s, c, pixdoc::ColourOutputMode::kPaletteIndex), 0);
    ASSERT_EQ(c.image.pixels.size(), rgb.image.pixels.size());
    // Each index (repeated in the collector's three channels) names the cube entry nearest to
    // the pixel: within half a level (51 / 2).
    for (size_t i = 0; i < c.image.pixels.size(); i += 3 * 97) {
        const uint8_t index = c.image.pixels[i];
        ASSERT_LT(index, 216);
        for (size_t ch = 0; ch < 3; ++ch)
            EXPECT_LE(std::abs(palette[index][ch] - rgb.image.pixels[i + ch]), 26);
    }
}

// A refusing callback is checked with the other containers' in the colour reader tests.
TEST(JpegColourReader, FailuresSetTheCodeInTheState) {
    Bytes data = ReadFile(Fixture("arithmetic.jpg"));
    pixdoc::ColourDecoderState s;
    Prepare(s, data);
    pixdoc::SetColourError(0);
    EXPECT_LT(pixdoc::JpegReadHeader(s), 0);
    EXPECT_EQ(s.error_code, pixdoc::kErrJpegUnsupported);
    EXPECT_EQ(pixdoc::GetColourError(), pixdoc::kErrJpegUnsupported);
    pixdoc::SetColourError(0);
}

}  // namespace
