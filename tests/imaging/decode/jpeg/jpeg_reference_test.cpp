// The decoder against libjpeg-turbo's djpeg (fast integer IDCT, pixel-repetition up-sampling)
// on pictures coded by cjpeg at test time.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/imaging/decode/jpeg/jpeg_test_support.h"

namespace {

using namespace jpeg_test;

// djpeg's colour conversion tables round differently by half a table step; grey pictures match
// exactly.
constexpr int kMaxColourDifference = 2;
constexpr double kMinColourPsnr = 48.0;

struct Case {
    const char* name;
    int components;
};

class AgainstDjpeg : public ::testing::TestWithParam<Case> {};

TEST_P(AgainstDjpeg, EveryPixelWithinTolerance) {
    const Case c = GetParam();
    Bytes data = ReadFile(Fixture(std::string(c.name) + ".jpg"));
    ASSERT_FALSE(data.empty()) << c.name;
    Image ref = ReadPnm(Fixture(std::string(c.name) + ".ref"));
    Bytes scalar_pixels;
    for (bool simd : {false, true}) {
        pixdoc::jpeg::DecodeOptions options;
        options.use_simd = simd;
        Decoded d = Decode(data, options);
        ASSERT_EQ(d.result, 0) << c.name << " error " << d.error;
        EXPECT_FALSE(d.contract_broken);
        EXPECT_EQ(d.header.components, c.components);
        ASSERT_EQ(d.image.width, ref.width);
        ASSERT_EQ(d.image.height, ref.height);
        ASSERT_EQ(d.image.channels, ref.channels);
        Difference diff = Compare(d.image, ref);
        std::printf("%-22s %s max difference %d, PSNR %.1f dB\n", c.name,
                    simd ? "simd  " : "scalar", diff.max, diff.psnr);
        if (simd)
            EXPECT_EQ(d.image.pixels, scalar_pixels) << "scalar and SSE2 differ";
        else
            scalar_pixels = d.image.pixels;
        if (c.components == 1) {
            EXPECT_EQ(diff.max, 0) << c.name;
        } else {
            EXPECT_LE(diff.max, kMaxColourDifference) << c.name;
            EXPECT_GE(diff.psnr, kMinColourPsnr) << c.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(CjpegCodings, AgainstDjpeg,
                         ::testing::Values(Case{"baseline444_q75", 3}, Case{"baseline422_q85", 3},
                                           Case{"baseline420_q90", 3}, Case{"baseline440_q80", 3},
                                           Case{"baseline411_q70", 3}, Case{"sampling3x1", 3},
                                           Case{"baseline420_q30", 3}, Case{"baseline420_q100", 3},
                                           Case{"grey_q85", 1}, Case{"grey_photo", 1},
                                           Case{"optimised420", 3}, Case{"restart_rows", 3},
                                           Case{"restart_blocks", 3}, Case{"progressive420", 3},
                                           Case{"progressive444", 3}, Case{"progressive_grey", 1},
                                           Case{"progressive_restart", 3}, Case{"multiscan", 3}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
