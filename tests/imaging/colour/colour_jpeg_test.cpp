// JPEG pages through the colour readers and the colour edit buffer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/colour/colour_edit.h"
#include "imaging/colour/colour_error.h"
#include "imaging/decode/colour/colour_state.h"
#include "pixdoc32.h"
#include "tests/imaging/colour/colour_test_support.h"

namespace {

using colour_test::FixturePath;
using colour_test::ReadFile;

using JpegMerge = colour_test::EditTest;

TEST_F(JpegMerge, OneUniformScaleLeavesTheRestInTheStartColour) {
    // 2000 x 1000 into 1000 x 1000: half size, so only the top 500 rows are covered.
    ASSERT_EQ(PX_StartColorEdit(1000, 1000, 0, 0, 255), 0);
    ASSERT_EQ(colour_test::MergeWhole("jpeg_wide.jpg"), 0) << PX_GetColorError();
    for (int32_t y : {0, 250, 499, 500, 999})
        for (int32_t x : {0, 500, 999}) {
            const uint8_t* p = pixdoc::EditPixel(pixdoc::ColourEdit(), x, y);
            if (y < 500) {
                EXPECT_GT(p[0], 240) << x << "," << y;  // red, within JPEG's loss
                EXPECT_LT(p[2], 16) << x << "," << y;
            } else {
                EXPECT_EQ(p[2], 255) << x << "," << y;
                EXPECT_EQ(p[0], 0) << x << "," << y;
            }
        }
}

TEST_F(JpegMerge, GreyPageMergesAsGrey) {
    ASSERT_EQ(PX_StartColorEdit(101, 67, 0, 0, 255), 0);
    ASSERT_EQ(colour_test::MergeWhole("jpeg_grey.jpg"), 0);
    const auto reference = colour_test::ReadPnm(FixturePath("base.ppm"));
    int64_t error = 0;
    for (int32_t y = 0; y < 67; ++y)
        for (int32_t x = 0; x < 101; ++x) {
            const uint8_t* p = pixdoc::EditPixel(pixdoc::ColourEdit(), x, y);
            ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]);
            const uint8_t* r = reference.pixels.data() + (y * 101 + x) * 3;
            const int luma = (299 * r[0] + 587 * r[1] + 114 * r[2]) / 1000;
            error += std::abs(p[0] - luma);
        }
    EXPECT_LT(error / (101 * 67), 6);  // a faithful grey rendering, within JPEG's loss
}

// Mean absolute difference per sample against ImageMagick's decode (through libtiff and libjpeg).
double MeanDifference(const colour_test::Rgb& a, const colour_test::Rgb& b) {
    if (a.pixels.size() != b.pixels.size() || a.pixels.empty()) return 1e9;
    int64_t sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        sum += std::abs(a.pixels[i] - b.pixels[i]);
    return double(sum) / double(a.pixels.size());
}

// Each page is read through the colour reader and merged into the edit buffer.
TEST_F(JpegMerge, TiffPagesWithJpegTablesReadAndMerge) {
    for (const char* name : {"tiff_jpeg_rgb", "tiff_jpeg_grey"}) {
        SCOPED_TRACE(name);
        const auto bytes = ReadFile(FixturePath(std::string(name) + ".tif"));
        const auto reference = colour_test::ReadPnm(FixturePath(std::string(name) + ".ppm"));
        pixdoc::ColourDecoderState s;
        colour_test::Collector c;
        pixdoc::SetColourSourceMemory(s, bytes.data(), static_cast<int64_t>(bytes.size()));
        ASSERT_EQ(colour_test::Recognise(s), 0) << PX_GetColorError();
        EXPECT_STREQ(s.container_name, "JPEG");
        EXPECT_FALSE(s.jpeg_tables.empty());
        const bool grey = s.components == 1;
        EXPECT_EQ(pixdoc::ColourCompressionCode(s), grey ? 1028 : 1027);
        ASSERT_EQ(
            colour_test::DecodeInto(
                s, c, grey ? pixdoc::ColourOutputMode::kGrey : pixdoc::ColourOutputMode::kRgb),
            0)
            << PX_GetColorError();
        // Chroma is repeated rather than interpolated, so colour pages differ a little more.
        EXPECT_LT(MeanDifference(c.image, reference), grey ? 1.0 : 3.0);

        pixdoc::ResetColourEdit();
        ASSERT_EQ(PX_StartColorEdit(101, 67, 0, 0, 0), 0);
        ASSERT_EQ(colour_test::MergeWhole(std::string(name) + ".tif"), 0) << PX_GetColorError();
        colour_test::Rgb merged{101, 67, 3, {}};
        const auto& pixels = pixdoc::ColourEdit().pixels;
        merged.pixels.assign(pixels.begin(), pixels.begin() + 101 * 67 * 3);
        EXPECT_LT(MeanDifference(merged, reference), 3.0);
    }
}

}  // namespace
