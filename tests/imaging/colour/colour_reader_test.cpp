#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "imaging/colour/colour_error.h"
#include "imaging/decode/colour/colour_state.h"
#include "imaging/io/file_access.h"
#include "tests/imaging/colour/colour_test_support.h"

namespace {

using colour_test::Collector;
using colour_test::DecodeInto;
using colour_test::DecodeMemory;
using colour_test::FixturePath;
using colour_test::ReadFile;
using colour_test::ReadPnm;
using pixdoc::ColourDecoderState;
using pixdoc::ColourOutputMode;

class ReferenceDecode : public testing::TestWithParam<const char*> {};

TEST_P(ReferenceDecode, MatchesImageMagickExactly) {
    const std::string name = GetParam();
    const auto bytes = ReadFile(FixturePath(name));
    ASSERT_FALSE(bytes.empty()) << name;
    const auto reference = ReadPnm(FixturePath(name.substr(0, name.rfind('.')) + ".ppm"));
    ASSERT_GT(reference.width, 0);
    ColourDecoderState s;
    Collector c;
    ASSERT_EQ(DecodeMemory(bytes, s, c), 0) << name << " error " << pixdoc::GetColourError();
    EXPECT_EQ(pixdoc::GetColourError(), 0);
    EXPECT_FALSE(c.bad_range);
    ASSERT_EQ(c.image.width, reference.width);
    ASSERT_EQ(c.image.height, reference.height);
    for (int32_t y = 0; y < c.image.height; ++y)
        ASSERT_EQ(c.deliveries[y], 1) << "row " << y;
    size_t differing = 0;
    for (size_t i = 0; i < c.image.pixels.size(); ++i)
        differing += c.image.pixels[i] != reference.pixels[i];
    EXPECT_EQ(differing, 0u) << name;
}

INSTANTIATE_TEST_SUITE_P(Containers, ReferenceDecode,
                         testing::Values("bmp24_BMP2.bmp", "bmp24_BMP3.bmp", "bmp8_BMP2.bmp",
                                         "bmp8_BMP3.bmp", "bmp8_plain.bmp", "bmp4_BMP2.bmp",
                                         "bmp4_BMP3.bmp", "bmp4_rle.bmp", "bmp1_BMP2.bmp",
                                         "bmp1_BMP3.bmp", "gif_plain.gif", "gif_interlaced.gif",
                                         "gif_local.gif", "gif_two.gif", "pcx_mono.pcx",
                                         "pcx_planes16.pcx", "pcx_packed16.pcx", "pcx_packed4.pcx",
                                         "pcx_8.pcx", "pcx_24.pcx", "tiff_grey.tif",
                                         "tiff_grey_strips_mm.tif", "tiff_grey_packbits.tif",
                                         "tiff_grey_miniswhite.tif", "tiff_rgb.tif",
                                         "tiff_rgb_strips_mm.tif", "tiff_palette.tif"));

TEST(ColourRecognition, HeaderFieldsAndCodes) {
    const struct {
        const char* file;
        const char* container;
        int32_t width, height, bits, code;
    } cases[] = {
        {"bmp24_BMP3.bmp", "BMP", 101, 67, 24, 1024},
        {"bmp4_BMP2.bmp", "BMP", 101, 67, 4, 1024},
        {"gif_plain.gif", "GIF", 101, 67, 8, 1025},
        {"gif_two.gif", "GIF", 101, 67, 1, 1025},
        {"pcx_planes16.pcx", "PCX", 101, 67, 4, 1026},
        {"pcx_24.pcx", "PCX", 101, 67, 24, 1026},
        {"tiff_rgb.tif", "TIFF", 101, 67, 24, 1029},
        {"tiff_grey_strips_mm.tif", "TIFF", 101, 67, 8, 1029},
        {"jpeg_wide.jpg", "JPEG", 2000, 1000, 24, 1027},
        {"jpeg_grey.jpg", "JPEG", 101, 67, 8, 1028},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.file);
        const auto bytes = ReadFile(FixturePath(k.file));
        ColourDecoderState s;
        pixdoc::SetColourSourceMemory(s, bytes.data(), static_cast<int64_t>(bytes.size()));
        ASSERT_EQ(pixdoc::RecogniseColourContainer(s), 0);
        EXPECT_STREQ(s.container_name, k.container);
        EXPECT_EQ(s.width, k.width);
        EXPECT_EQ(s.height, k.height);
        EXPECT_EQ(s.bits_per_pixel, k.bits);
        EXPECT_EQ(pixdoc::ColourCompressionCode(s), k.code);
    }
}

TEST(ColourRecognition, ReadsThroughTheFileAccessLayer) {
    const int32_t file = pixdoc::files::FileOpen(FixturePath("gif_interlaced.gif").c_str());
    ASSERT_GE(file, 0);
    ColourDecoderState s;
    Collector c;
    pixdoc::SetColourSourceFile(s, file);
    ASSERT_EQ(colour_test::Recognise(s), 0);
    EXPECT_EQ(DecodeInto(s, c), 0);
    pixdoc::files::FileClose(file);
    const auto reference = ReadPnm(FixturePath("gif_interlaced.ppm"));
    EXPECT_EQ(c.image.pixels, reference.pixels);
}

TEST(ColourDelivery, WindowChunksAndPaletteIndices) {
    const auto bytes = ReadFile(FixturePath("pcx_8.pcx"));
    const auto reference = ReadPnm(FixturePath("pcx_8.ppm"));
    ColourDecoderState s;
    Collector c;
    s.window_first_row = 10;
    s.window_first_column = 7;
    s.window_rows = 20;
    s.window_columns = 30;
    s.rows_per_chunk = 6;
    ASSERT_EQ(DecodeMemory(bytes, s, c, ColourOutputMode::kPaletteIndex), 0);
    EXPECT_FALSE(c.bad_range);
    EXPECT_EQ(c.calls, 4);  // 20 rows in chunks of 6
    EXPECT_EQ(s.row_counter, 30);
    for (int32_t y = 0; y < 67; ++y)
        EXPECT_EQ(c.deliveries[y], y >= 10 && y < 30 ? 1 : 0) << y;
    // Indices through the palette give the reference colours.
    for (int32_t y = 10; y < 30; ++y)
        for (int32_t x = 7; x < 37; ++x) {
            const uint8_t index = c.image.pixels[(static_cast<size_t>(y) * 101 + x) * 3];
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ((*s.palette)[index][k], reference.pixels[(y * 101 + x) * 3 + k]);
        }
}

TEST(ColourDelivery, RefusingCallbackStopsWithCode14) {
    for (const char* file :
         {"bmp24_BMP3.bmp", "gif_plain.gif", "pcx_24.pcx", "tiff_rgb.tif", "jpeg_wide.jpg"}) {
        const auto bytes = ReadFile(FixturePath(file));
        ColourDecoderState s;
        Collector c;
        c.refuse_after = 2;
        s.rows_per_chunk = 4;
        EXPECT_LT(DecodeMemory(bytes, s, c), 0) << file;
        EXPECT_EQ(pixdoc::GetColourError(), pixdoc::kErrCallback) << file;
        EXPECT_EQ(s.error_code, pixdoc::kErrCallback) << file;
        EXPECT_EQ(c.calls, 2) << file;
    }
}

TEST(ColourDelivery, OversizedChunkIsHeldToTheImage) {
    const auto bytes = ReadFile(FixturePath("pcx_24.pcx"));
    ColourDecoderState s;
    Collector c;
    s.rows_per_chunk = 1000000000;
    EXPECT_EQ(DecodeMemory(bytes, s, c), 0);
    EXPECT_EQ(c.calls, 1);
    EXPECT_EQ(s.rows_per_chunk, 67);
    EXPECT_EQ(c.image.pixels, ReadPnm(FixturePath("pcx_24.ppm")).pixels);
}

}  // namespace
