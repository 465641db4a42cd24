#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/barcode/barcode_state.h"
#include "imaging/colour/colour_edit.h"
#include "imaging/colour/colour_error.h"
#include "pixdoc32.h"
#include "tests/imaging/colour/colour_test_support.h"

namespace {

using colour_test::FixturePath;
using colour_test::MergeWhole;
using colour_test::ReadFile;
using colour_test::ReadPnm;
using colour_test::Rgb;

class ColourEdit : public colour_test::EditTest {
protected:
    static std::vector<uint8_t> Pixel(int32_t x, int32_t y) {
        const uint8_t* p = pixdoc::EditPixel(pixdoc::ColourEdit(), x, y);
        return {p[0], p[1], p[2]};
    }
    static std::vector<uint8_t> Reference(const Rgb& image, int64_t x, int64_t y) {
        const uint8_t* p = image.pixels.data() + (y * image.width + x) * 3;
        return {p[0], p[1], p[2]};
    }
    static int32_t Merge(const std::string& file, int32_t sl, int32_t st, int32_t sr, int32_t sb,
                         int32_t dl, int32_t dt, int32_t dr, int32_t db) {
        return PX_ColorEditMergeImageEx(FixturePath(file).c_str(), 1, sl, st, sr, sb, dl, dt, dr,
                                        db);
    }
};

TEST_F(ColourEdit, StartEndAndSize) {
    pixdoc::barcode::ResetBarcodeState();
    EXPECT_EQ(PX_ColorEditGetWidth(0), 0);
    EXPECT_EQ(PX_ColorEditEnd(0), 1);
    ASSERT_EQ(PX_StartColorEdit(40, 30, 10, 20, 30), 0);
    EXPECT_EQ(pixdoc::barcode::BarcodeState().working_resolution, 200);
    EXPECT_EQ(PX_StartColorEdit(10, 10, 0, 0, 0), 1);  // the first buffer stays
    EXPECT_EQ(PX_ColorEditGetWidth(0), 40);
    EXPECT_EQ(PX_ColorEditGetHeight(0), 30);
    EXPECT_EQ(Pixel(39, 29), (std::vector<uint8_t>{10, 20, 30}));
    EXPECT_EQ(Pixel(0, 0), (std::vector<uint8_t>{10, 20, 30}));
    EXPECT_EQ(PX_ColorEditEnd(0), 0);
    EXPECT_EQ(PX_ColorEditEnd(0), 1);
    EXPECT_EQ(PX_ColorEditGetHeight(0), 0);
    EXPECT_EQ(PX_StartColorEdit(-5, 10, 0, 0, 0), 2);
    EXPECT_EQ(PX_StartColorEdit(1 << 20, 1 << 20, 0, 0, 0), 2);
    EXPECT_EQ(PX_GetExportByOrdinal(323), reinterpret_cast<void*>(&PX_StartColorEdit));
    EXPECT_EQ(PX_GetExportByOrdinal(343), reinterpret_cast<void*>(&PX_ColorEditMergeImageEx));
    EXPECT_STREQ(PX_GetExportName(329), "PX_ColorEditEnd");
    EXPECT_STREQ(PX_GetExportName(324), "PX_ColorEditGetWidth");
    EXPECT_STREQ(PX_GetExportName(325), "PX_ColorEditGetHeight");
}

TEST_F(ColourEdit, MergeNeedsABufferAValidDestinationAndAKnownFile) {
    EXPECT_EQ(MergeWhole("bmp24_BMP3.bmp"), 1);
    ASSERT_EQ(PX_StartColorEdit(100, 80, 255, 255, 255), 0);
    // Beyond the width, negative left, empty, upside down, beyond the height.
    for (const auto& [l, t, r, b] :
         {std::array{0, 0, 101, 80}, std::array{-2, 0, 50, 80}, std::array{50, 0, 50, 80},
          std::array{0, 60, 50, 40}, std::array{0, 0, 50, 81}})
        EXPECT_EQ(Merge("bmp24_BMP3.bmp", -1, -1, -1, -1, l, t, r, b), 2) << l << "," << t;
    EXPECT_EQ(MergeWhole("no_such_file.bmp"), 3);
    EXPECT_EQ(MergeWhole("tiff_rgb_packbits.tif"), 3);  // a refused form is not recognised
    EXPECT_EQ(PX_GetColorError(), pixdoc::kErrTiffUnsupported);
    // Nothing was written by the refused merges.
    for (int32_t y = 0; y < 80; ++y)
        for (int32_t x = 0; x < 100; ++x)
            ASSERT_EQ(Pixel(x, y), (std::vector<uint8_t>{255, 255, 255}));
}

class WholePageMerge : public colour_test::EditTest,
                       public testing::WithParamInterface<const char*> {};

TEST_P(WholePageMerge, FillsTheBufferWithTheReferencePixels) {
    const std::string name = GetParam();
    const Rgb reference = ReadPnm(FixturePath(name.substr(0, name.rfind('.')) + ".ppm"));
    ASSERT_EQ(PX_StartColorEdit(reference.width, reference.height, 1, 2, 3), 0);
    ASSERT_EQ(MergeWhole(name), 0) << name << " colour error " << PX_GetColorError();
    const auto& pixels = pixdoc::ColourEdit().pixels;
    EXPECT_TRUE(std::equal(reference.pixels.begin(), reference.pixels.end(), pixels.begin()))
        << name;
}

INSTANTIATE_TEST_SUITE_P(Containers, WholePageMerge,
                         testing::Values("bmp24_BMP3.bmp", "bmp8_BMP3.bmp", "bmp1_BMP2.bmp",
                                         "gif_interlaced.gif", "gif_local.gif", "pcx_8.pcx",
                                         "pcx_24.pcx", "pcx_planes16.pcx", "tiff_grey.tif",
                                         "tiff_rgb_strips_mm.tif", "tiff_palette.tif"));

// Nearest-neighbour placement as the merge writer does it, for a uniform scale.
struct Expected {
    std::vector<int64_t> source_of_column;  // per destination column from the left edge
    std::vector<int64_t> source_of_row;     // per destination row from the top edge
};

Expected Accumulate(int64_t origin_x, int64_t width, int64_t origin_y, int64_t height,
                    int64_t scale, int64_t out_w, int64_t out_h, bool file_order) {
    Expected e;
    int64_t acc = 1024;
    for (int64_t x = origin_x; x < width && static_cast<int64_t>(e.source_of_column.size()) < out_w;
         ++x)
        for (acc += scale; acc >= 2048; acc -= 2048)
            e.source_of_column.push_back(x);
    e.source_of_row.assign(static_cast<size_t>(out_h), -1);
    if (file_order) {
        // BMP rows arrive bottom-up: of the rows sharing a destination row the top one stays.
        for (int64_t r = height - 1; r >= origin_y; --r) {
            const int64_t d0 = (r - origin_y) * scale / 2048;
            const int64_t d1 = std::max(d0 + 1, (r + 1 - origin_y) * scale / 2048);
            for (int64_t d = d0; d < d1 && d < out_h; ++d)
                e.source_of_row[d] = r;
        }
    } else {
        acc = 1024;
        int64_t d = 0;
        for (int64_t r = origin_y; r < height; ++r)
            for (acc += scale; acc >= 2048; acc -= 2048)
                if (d < out_h) e.source_of_row[d++] = r;
    }
    return e;
}

TEST_F(ColourEdit, ScaledMergesIntoSubRectangles) {
    struct Case {
        const char* file;
        bool file_order;
        int32_t sl, st, sr, sb;  // source rectangle
        int32_t dl, dt, dr, db;  // destination rectangle
    };
    const Case cases[] = {
        {"bmp24_BMP3.bmp", true, -1, -1, -1, -1, 10, 5, 60, 45},       // reduce
        {"gif_interlaced.gif", true, 40, 20, 90, 60, 0, 0, 150, 120},  // enlarge a part
        {"pcx_24.pcx", false, -1, -1, -1, -1, 10, 5, 60, 45},
        {"tiff_rgb.tif", false, 40, 20, 90, 60, 0, 0, 150, 120},
        {"tiff_grey.tif", false, 0, 0, 200, 300, 7, 3, 40, 90},  // cut to the page
    };
    for (const Case& k : cases) {
        pixdoc::ResetColourEdit();
        ASSERT_EQ(PX_StartColorEdit(160, 130, 9, 8, 7), 0);
        ASSERT_EQ(Merge(k.file, k.sl, k.st, k.sr, k.sb, k.dl, k.dt, k.dr, k.db), 0) << k.file;
        const std::string name = k.file;
        const Rgb ref = ReadPnm(FixturePath(name.substr(0, name.rfind('.')) + ".ppm"));
        const int64_t ox = k.sl < 0 ? 0 : k.sl, oy = k.st < 0 ? 0 : k.st;
        const int64_t sw = (k.sl < 0 ? ref.width : std::min(k.sr, ref.width)) - ox;
        const int64_t sh = (k.sl < 0 ? ref.height : std::min(k.sb, ref.height)) - oy;
        const int64_t out_w = k.dr - k.dl, out_h = k.db - k.dt;
        const int64_t scale = std::min(out_w * 2048 / sw, out_h * 2048 / sh);
        const Expected e =
            Accumulate(ox, ref.width, oy, ref.height, scale, out_w, out_h, k.file_order);
        for (int32_t y = 0; y < 130; ++y)
            for (int32_t x = 0; x < 160; ++x) {
                const int64_t dx = x - k.dl, dy = y - k.dt;
                const bool inside = dx >= 0 && dy >= 0 && dx < out_w && dy < out_h &&
                                    dx < static_cast<int64_t>(e.source_of_column.size()) &&
                                    e.source_of_row[dy] >= 0;
                const auto want = inside
                                      ? Reference(ref, e.source_of_column[dx], e.source_of_row[dy])
                                      : std::vector<uint8_t>{9, 8, 7};
                ASSERT_EQ(Pixel(x, y), want) << k.file << " at " << x << "," << y;
            }
    }
}

TEST_F(ColourEdit, SmallSourceRectangleGivesTheWholePage) {
    ASSERT_EQ(PX_StartColorEdit(101, 67, 0, 0, 0), 0);
    ASSERT_EQ(Merge("tiff_rgb.tif", 10, 10, 30, 30, -1, -1, -1, -1), 0);
    const Rgb ref = ReadPnm(FixturePath("tiff_rgb.ppm"));
    EXPECT_TRUE(
        std::equal(ref.pixels.begin(), ref.pixels.end(), pixdoc::ColourEdit().pixels.begin()));
}

TEST_F(ColourEdit, DamagedPageKeepsTheRowsWritten) {
    auto bytes = ReadFile(FixturePath("pcx_24.pcx"));
    bytes.resize(bytes.size() / 2);
    const std::string name = "MD:" + std::to_string(reinterpret_cast<uintptr_t>(bytes.data())) +
                             "," + std::to_string(bytes.size());
    ASSERT_EQ(PX_StartColorEdit(101, 67, 1, 1, 1), 0);
    EXPECT_EQ(PX_ColorEditMergeImageEx(name.c_str(), 1, -1, -1, -1, -1, -1, -1, -1, -1), 6);
    EXPECT_EQ(PX_GetColorError(), pixdoc::kErrUnexpectedEnd);
    const Rgb ref = ReadPnm(FixturePath("pcx_24.ppm"));
    EXPECT_EQ(Pixel(5, 0), Reference(ref, 5, 0));              // top rows written
    EXPECT_EQ(Pixel(5, 66), (std::vector<uint8_t>{1, 1, 1}));  // bottom rows untouched
}

class BilevelMerge : public colour_test::EditTest {
protected:
    static uint8_t Grey(int32_t x, int32_t y) {
        const uint8_t* p = pixdoc::EditPixel(pixdoc::ColourEdit(), x, y);
        EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]);
        return p[0];
    }
};

TEST_F(BilevelMerge, GreyLevelsOfKnownPatternsLandInPlace) {
    ImageHeader strips{};
    ASSERT_EQ(OpenImageHeader(0, FixturePath("bilevel_quadrant_strips.tif").c_str(), 1, &strips),
              0);
    EXPECT_EQ(strips.compression, 257);  // Group 4 in three strips
    // 256 x 128 pages into 64 x 32: every buffer pixel is one 4 x 4 block of the page. The
    // quadrant pages are black in the top-left quarter; strips merge alike.
    const struct {
        const char* file;
        uint8_t top_left, rest;
    } cases[] = {{"bilevel_white.tif", 255, 255},
                 {"bilevel_black.tif", 0, 0},
                 {"bilevel_half.tif", 127, 127},
                 {"bilevel_quadrant.tif", 0, 255},
                 {"bilevel_quadrant_strips.tif", 0, 255}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.file);
        pixdoc::ResetColourEdit();
        ASSERT_EQ(PX_StartColorEdit(64, 32, 1, 2, 3), 0);
        ASSERT_EQ(MergeWhole(k.file), 0);
        for (int32_t y = 0; y < 32; ++y)
            for (int32_t x = 0; x < 64; ++x)
                ASSERT_EQ(Grey(x, y), x < 32 && y < 16 ? k.top_left : k.rest) << x << "," << y;
    }
}

TEST_F(BilevelMerge, RenderAreaAlignment) {
    // 1700 columns: the render area is 1696 wide and the last four keep the start colour.
    ASSERT_EQ(PX_StartColorEdit(1700, 16, 1, 2, 3), 0);
    ASSERT_EQ(MergeWhole("bilevel_6800.tif"), 0);
    for (int32_t x = 0; x < 1700; ++x) {
        const uint8_t* p = pixdoc::EditPixel(pixdoc::ColourEdit(), x, 5);
        const std::vector<uint8_t> want =
            x < 1696 ? std::vector<uint8_t>{255, 255, 255} : std::vector<uint8_t>{1, 2, 3};
        ASSERT_EQ(std::vector<uint8_t>(p, p + 3), want) << x;
    }
    // 1712 columns: the render area is 1728 wide; it is cut at the buffer's edge.
    pixdoc::ResetColourEdit();
    ASSERT_EQ(PX_StartColorEdit(1712, 16, 1, 2, 3), 0);
    ASSERT_EQ(MergeWhole("bilevel_6848.tif"), 0);
    for (int32_t x = 0; x < 1712; ++x)
        ASSERT_EQ(Grey(x, 15), 255) << x;
}

TEST_F(BilevelMerge, SubRectangleAndDecoderSetUpFailure) {
    ASSERT_EQ(PX_StartColorEdit(64, 32, 1, 2, 3), 0);
    // The black quarter (page columns 0..127, rows 0..63) into the buffer's 16..47 x 8..23.
    ASSERT_EQ(PX_ColorEditMergeImageEx(FixturePath("bilevel_quadrant.tif").c_str(), 1, 0, 0, 128,
                                       64, 16, 8, 48, 24),
              0);
    for (int32_t y = 0; y < 32; ++y)
        for (int32_t x = 0; x < 64; ++x) {
            const uint8_t* p = pixdoc::EditPixel(pixdoc::ColourEdit(), x, y);
            if (x >= 16 && x < 48 && y >= 8 && y < 24)
                ASSERT_EQ(p[0], 0) << x << "," << y;
            else
                ASSERT_EQ(p[2], 3) << x << "," << y;
        }
    // A destination narrower than the decoder's alignment cannot be rendered: reported, and
    // nothing is written.
    EXPECT_EQ(PX_ColorEditMergeImageEx(FixturePath("bilevel_black.tif").c_str(), 1, -1, -1, -1, -1,
                                       0, 26, 10, 32),
              6);
    EXPECT_EQ(pixdoc::EditPixel(pixdoc::ColourEdit(), 0, 30)[2], 3);
}

}  // namespace
