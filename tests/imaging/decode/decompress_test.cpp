// Decompress: scaled, cut and turned outputs against a reference computed from the 1:1
// bitmap, the option bits, geometry limits and the band protocol.
#include <gtest/gtest.h>

#include <algorithm>

#include "imaging/decode/bilevel/line_face.h"
#include "tests/imaging/decode/bilevel_pages.h"
#include "tests/imaging/decode/reference_scaling.h"

namespace pixdoc::bilevel::testing {
namespace {

void Configure(ImageHeader& h, const View& v, int orientation = 0) {
    h.output_width = v.out_w;
    h.output_height = v.out_h;
    h.horizontal_scale = v.hscale;
    h.vertical_scale = v.vscale;
    h.first_column = v.first_col;
    h.first_row = v.first_row;
    h.options = v.options;
    h.orientation = orientation;
}

DecodeResult Decode(const Bitmap& src, const View& v, int orientation = 0) {
    MemoryPage page = RawPage(src);
    Configure(page.header(), v, orientation);
    return DecodeAll(page.header());
}

TEST(Decompress, ScaledAndCutOutputsMatchTheReference) {
    const Bitmap src = RandomPage(523, 301, 11);
    const View views[] = {
        {528, 301, 2048, 2048, 0, 0},    {264, 150, 1024, 1024, 0, 0},
        {264, 150, 1024, 1024, 0, 0, 1}, {264, 150, 1024, 1024, 0, 0, 2},
        {176, 100, 683, 683, 0, 0, 3},   {800, 600, 4096, 4096, 0, 0},
        {200, 120, 2048, 2048, 77, 33},  {128, 64, 1500, 3000, 100, 50},
        {96, 40, 700, 2048, 13, 7, 2},   {1000, 301, 3500, 2048, 0, 0},
    };
    for (const View& v : views) {
        const DecodeResult r = Decode(src, v);
        ASSERT_EQ(r.last, 16);
        EXPECT_TRUE(r.output == Reference(src, v))
            << v.out_w << "x" << v.out_h << " scales " << v.hscale << "/" << v.vscale << " at "
            << v.first_col << "," << v.first_row << " options " << v.options;
    }
}

TEST(Decompress, TurnedOutputsAreTheUprightOutputTurned) {
    const Bitmap src = RandomPage(640, 480, 5);
    const View upright{640, 480, 2048, 2048, 0, 0};
    const Bitmap expected = Reference(src, upright);
    for (int o = 1; o <= 3; ++o) {
        const View v = o == 2 ? upright : View{480, 640, 2048, 2048, 0, 0};
        const DecodeResult r = Decode(src, v, o);
        ASSERT_EQ(r.last, 16) << o;
        EXPECT_TRUE(r.output == Turn(expected, o)) << "orientation " << o;
    }
}

TEST(Decompress, QuarterTurnRoundsTheHeightAndBandsCoverTheWidth) {
    const Bitmap src = RandomPage(2200, 1728, 3);
    MemoryPage page = RawPage(src);
    ImageHeader& h = page.header();
    Configure(h, View{1728, 2200, 2048, 2048, 0, 0}, 1);
    int rows = 0;
    for (int32_t r; (r = Decompress(&h)) == 4;) {
        EXPECT_EQ(h.output_height, 2192);
        EXPECT_EQ(h.output_row_width, 2192);
        int32_t x, y, w, hh;
        RotateCoordinates(&h, &x, &y, &w, &hh);
        EXPECT_EQ(hh, 2192);
        EXPECT_EQ(x, 1728 - h.rows_delivered);
        rows += w;
    }
    EXPECT_EQ(rows, 1728);
}

TEST(Decompress, VerticalHalvingTakesEveryOtherLineOrOrsPairs) {
    // 100 lines, each line n black only at column n (plus a marker at column 127 on odd lines).
    Bitmap src(128, 100);
    for (int y = 0; y < 100; ++y) {
        src.Set(y, y);
        if (y % 2) src.Set(127, y);
    }
    for (int options : {0, 1}) {
        const DecodeResult r = Decode(src, View{128, 50, 2048, 1024, 0, 0, options});
        ASSERT_EQ(r.last, 16);
        for (int row = 0; row < 50; ++row) {
            std::vector<int> black;
            for (int x = 0; x < 128; ++x)
                if (r.output.Get(x, row)) black.push_back(x);
            if (options == 0) {
                EXPECT_EQ(black, std::vector<int>{2 * row}) << row;  // lines 0, 2, 4, ...
            } else if (row == 0) {
                EXPECT_EQ(black, std::vector<int>{0});
            } else {
                EXPECT_EQ(black, (std::vector<int>{2 * row - 1, 2 * row, 127})) << row;
            }
        }
    }
}

TEST(Decompress, ThinRunsVanishOrStayUnderHorizontalHalving) {
    Bitmap src(64, 16);
    for (int y = 0; y < 16; ++y)
        src.Set(21, y);
    for (int options : {0, 2}) {
        const DecodeResult r = Decode(src, View{32, 16, 1024, 2048, 0, 0, options});
        ASSERT_EQ(r.last, 16);
        int black = 0;
        for (int x = 0; x < 32; ++x)
            black += r.output.Get(x, 5);
        EXPECT_EQ(black, options ? 1 : 0);
    }
}

TEST(Decompress, BadGeometryFailsSetUpWithNothingAllocated) {
    const Bitmap src = RandomPage(100, 40, 1);
    // The last two are huge source widths: they fail before anything is allocated.
    struct Case {
        int out_w, out_h, hscale, vscale, orientation;
        int32_t expected, src_w;
    } cases[] = {{100, 40, 2048, 2048, 0, 8, 100},      {104, 40, 2048, 2048, 0, 4, 100},
                 {0, 40, 2048, 2048, 0, 8, 100},        {104, 0, 2048, 2048, 0, 8, 100},
                 {104, 40, 0, 2048, 0, 8, 100},         {104, 40, 2048, 0, 0, 8, 100},
                 {104, 40, 32768, 2048, 0, 8, 100},     {104, 15, 2048, 2048, 1, 8, 100},
                 {104, 40, 2048, 2048, 4, 8, 100},      {30008, 40, 2048, 2048, 0, 8, 100},
                 {104, 40, 32767, 1, 0, 4, 100},        {104, 40, 2048, 2048, 0, 8, 30001},
                 {104, 40, 2048, 2048, 0, 8, INT32_MAX}};
    for (const Case& c : cases) {
        MemoryPage page = RawPage(src);
        ImageHeader& h = page.header();
        Configure(h, View{c.out_w, c.out_h, c.hscale, c.vscale, 0, 0}, c.orientation);
        h.width = c.src_w;
        EXPECT_EQ(Decompress(&h), c.expected)
            << c.out_w << "x" << c.out_h << " " << c.hscale << "/" << c.vscale << " o"
            << c.orientation << " width " << c.src_w;
        if (c.expected == 8) {
            EXPECT_EQ(h.band_buffer, nullptr);
            EXPECT_EQ(h.input_buffer, nullptr);
            EXPECT_EQ(h.column_map, nullptr);
        }
        while (Decompress(&h) == 4) {
        }
    }
}

TEST(Decompress, FittingMovesTheRectangleIntoThePage) {
    const Bitmap src = RandomPage(200, 100, 9);
    MemoryPage page = RawPage(src);
    ImageHeader& h = page.header();
    // 64 columns from 180 do not fit: moved left to 136; row 500 is outside: reset to 0.
    Configure(h, View{64, 32, 2048, 2048, 180, 500});
    ASSERT_EQ(Decompress(&h), 4);
    EXPECT_EQ(h.first_column, 136);
    EXPECT_EQ(h.first_row, 0);
    EXPECT_EQ(h.visible_source_width, 64);
    while (Decompress(&h) == 4) {
    }
    EXPECT_EQ(h.band_buffer, nullptr);
}

TEST(Decompress, BandsAreWhiteAfterTheDataEndsAndRoundedToSixteenRows) {
    // Raw data for 20 of 50 lines: rows 20.. are white; all 50 rows come in bands.
    const Bitmap src = RandomPage(64, 50, 2);
    std::vector<uint8_t> cut(src.bytes.begin(), src.bytes.begin() + 20 * 8);
    MemoryPage page(cut, 64, 50, 3);
    ImageHeader& h = page.header();
    const DecodeResult r = DecodeAll(h);
    EXPECT_EQ(r.last, 16);
    EXPECT_EQ(h.error_code, 2);
    EXPECT_EQ(h.error_line, 20);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(r.output.Get(x, y), y < 20 && src.Get(x, y));
}

TEST(ByteHelpers, XchgBytesReversesAndInvertBytesInverts) {
    uint8_t b[4] = {0x01, 0x80, 0xF0, 0x5A};
    XchgBytes(b, 4);
    EXPECT_EQ(std::vector<uint8_t>(b, b + 4), (std::vector<uint8_t>{0x80, 0x01, 0x0F, 0x5A}));
    InvertBytes(b, 3);
    EXPECT_EQ(std::vector<uint8_t>(b, b + 4), (std::vector<uint8_t>{0x7F, 0xFE, 0xF0, 0x5A}));
}

TEST(Decompress, AnUnknownCodingDeliversAWhitePageWithTheWidthAsError) {
    const Bitmap src = RandomPage(120, 40, 4);
    MemoryPage page(src.bytes, 120, 40, 6);
    const DecodeResult r = DecodeAll(page.header());
    EXPECT_EQ(r.last, 16);
    EXPECT_EQ(page.header().error_code, 120);
    EXPECT_EQ(page.header().error_line, 0);
    EXPECT_TRUE(r.output == Bitmap(120, 40));
    MemoryPage colour(src.bytes, 120, 40, 1027);
    EXPECT_EQ(Decompress(&colour.header()), 8);
}

TEST(Decompress, DamagedLinesOfMultiStripPagesAreWhiteAndDecodingGoesOn) {
    // Modified Huffman rows of 8 pixels in two strips of 4 rows. Black row: white 0 (00110101),
    // black 8 (000101); damaged row: white 4, black 2, white 4 (runs past the width).
    const std::vector<uint8_t> black = {0x35, 0x14}, damaged = {0xBE, 0xC0};
    std::vector<uint8_t> file;
    for (const auto* row : {&black, &damaged, &black, &black, &damaged, &black, &black, &black})
        file.insert(file.end(), row->begin(), row->end());
    uint32_t offsets[] = {0, 8, 0, 0, 0, 0, 0};
    uint32_t counts[] = {8, uint32_t(file.size() - 8), 0, 0, 0, 0, 0};
    PixdocStripTable table{4, 2, 0, 0, offsets, counts};
    MemoryPage page(file, 8, 8, 256 + 5);
    page.header().data_offset = reinterpret_cast<intptr_t>(&table);
    const DecodeResult r = DecodeAll(page.header());
    ASSERT_EQ(r.last, 16);
    EXPECT_EQ(page.header().error_code, 0);
    const bool expected_black[] = {true, false, true, true, false, true, true, true};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(r.output.Get(x, y), expected_black[y]) << x << "," << y;
    // The same rows in one strip stop at the damaged row.
    MemoryPage single(file, 8, 8, 5);
    const DecodeResult s1 = DecodeAll(single.header());
    EXPECT_EQ(single.header().error_code, 3);
    EXPECT_EQ(single.header().error_line, 1);
    for (int y = 1; y < 8; ++y)
        EXPECT_FALSE(s1.output.Get(0, y)) << y;
}

TEST(Decompress, AHugeRowWidthFailsWhenTurned) {
    const Bitmap src = RandomPage(64, 16, 6);
    for (int orientation : {0, 1}) {
        MemoryPage page(src.bytes, 64, 16, 3);
        ImageHeader& h = page.header();
        // The output height is the row width when turned.
        Configure(h, View{64, 0x7FFFFFF0, 2048, 2048, 0, 0}, orientation);
        EXPECT_EQ(Decompress(&h), orientation ? 8 : 4) << orientation;
        while (Decompress(&h) == 4 && h.rows_delivered < 1000) {
        }
        BilevelRelease(h);
    }
}

}  // namespace
}  // namespace pixdoc::bilevel::testing
