// Edge cases over real coded strips (tiffcp's output, read raw with libtiff): the Group 4
// end-of-block, a truncated Group 3 page, fill order 1, and damaged lines.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "imaging/decode/bilevel/change_list.h"
#include "imaging/decode/bilevel/line_codings.h"
#include "imaging/decode/bilevel/line_face.h"
#include "tests/imaging/decode/bilevel_pages.h"

namespace pixdoc::bilevel::testing {
namespace {

struct Strip {
    std::vector<uint8_t> coded;
    Bitmap reference;  // libtiff's decode
};

Strip ReadStrip(const std::string& name) {
    Strip s;
    const std::string path = std::string(TEST_FIXTURE_DIR) + "/bilevel/" + name;
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif) return s;
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    s.coded.resize(size_t(TIFFRawStripSize(tif, 0)));
    TIFFReadRawStrip(tif, 0, s.coded.data(), tmsize_t(s.coded.size()));
    s.reference = Bitmap(int(w), int(h));
    for (uint32_t y = 0; y < h; ++y)
        TIFFReadScanline(tif, &s.reference.bytes[size_t(y) * s.reference.RowBytes()], y);
    TIFFClose(tif);
    return s;
}

// Rows above `good_rows` are the reference's; rows from `white_from` on are white.
void ExpectReferenceThenWhite(const Bitmap& got, const Bitmap& want, int good_rows,
                              int white_from) {
    ASSERT_EQ(got.height, want.height);
    const size_t row_bytes = size_t(want.RowBytes());
    for (int y = 0; y < want.height; ++y) {
        const auto row = got.bytes.begin() + long(y * row_bytes);
        if (y < good_rows) {
            ASSERT_TRUE(
                std::equal(row, row + long(row_bytes), want.bytes.begin() + long(y * row_bytes)))
                << "row " << y;
        } else if (y >= white_from) {
            ASSERT_TRUE(std::all_of(row, row + long(row_bytes), [](uint8_t b) { return b == 0; }))
                << "row " << y;
        }
    }
}

TEST(CodedStrips, Group4EndOfBlockEndsThePageWithResultTwo) {
    const Strip s = ReadStrip("text200_g4.tif");
    ASSERT_FALSE(s.coded.empty());
    Decoder d(s.coded, s.reference.width);
    for (int line = 0; line < s.reference.height; ++line)
        ASSERT_EQ(d.Line(kGroup4, line), kLineGood) << line;
    EXPECT_EQ(d.Line(kGroup4, s.reference.height), kLineEnd);
}

TEST(CodedStrips, ATruncatedGroup3PageDeliversAllRowsWhiteAfterTheCut) {
    for (const char* name : {"text200_g3_1d.tif", "text200_g3_2d.tif"}) {
        Strip s = ReadStrip(name);
        ASSERT_FALSE(s.coded.empty()) << name;
        const int32_t code = std::string(name).find("1d") != std::string::npos ? 0 : 2;
        std::vector<uint8_t> cut(s.coded.begin(), s.coded.begin() + long(s.coded.size() / 2));
        MemoryPage page(cut, s.reference.width, s.reference.height, code);
        const DecodeResult r = DecodeAll(page.header());
        ASSERT_EQ(r.last, 16) << name;
        const int stop = page.header().error_line;
        EXPECT_GT(stop, 0) << name;
        EXPECT_LT(stop, s.reference.height) << name;
        SCOPED_TRACE(name);
        ExpectReferenceThenWhite(r.output, s.reference, stop - 1, stop + 1);
    }
}

TEST(CodedStrips, FillOrderOneDecodesLikeTheBitReversedData) {
    const Strip s = ReadStrip("barcode200_g4.tif");
    ASSERT_FALSE(s.coded.empty());
    std::vector<uint8_t> reversed = s.coded;
    XchgBytes(reversed.data(), int32_t(reversed.size()));
    MemoryPage normal(s.coded, s.reference.width, s.reference.height, 1, 0);
    MemoryPage lsb_first(reversed, s.reference.width, s.reference.height, 1, 1);
    const DecodeResult a = DecodeAll(normal.header());
    const DecodeResult b = DecodeAll(lsb_first.header());
    ASSERT_EQ(a.last, 16);
    ASSERT_EQ(b.last, 16);
    EXPECT_TRUE(a.output == b.output);
    EXPECT_TRUE(a.output.bytes == s.reference.bytes);  // the output width is rounded to 8
}

TEST(CodedStrips, ADamagedLineStopsDecodingAndTheRestIsWhite) {
    Strip s = ReadStrip("text200_g4.tif");
    ASSERT_FALSE(s.coded.empty());
    // Zeros in the middle of the data give an EOL prefix inside a line.
    const size_t middle = s.coded.size() / 2;
    for (size_t i = middle; i < middle + 4; ++i)
        s.coded[i] = 0;
    MemoryPage page(s.coded, s.reference.width, s.reference.height, 1);
    const DecodeResult r = DecodeAll(page.header());
    ASSERT_EQ(r.last, 16);
    EXPECT_TRUE(page.header().error_code == 2 || page.header().error_code == 3);
    ExpectReferenceThenWhite(r.output, s.reference, 0, page.header().error_line + 1);
}

TEST(CodedStrips, GivenRefillChunksAndByteBudgetsReadTheSamePage) {
    const Strip s = ReadStrip("text300_g3_1d.tif");
    ASSERT_FALSE(s.coded.empty());
    for (int32_t chunk : {1, 100, 4096, 16384, 16385, 0, -5}) {
        MemoryPage page(s.coded, s.reference.width, s.reference.height, 0);
        ImageHeader& h = page.header();
        h.refill_chunk = chunk;
        h.decode_flags |= kFlagChunkGiven;
        const DecodeResult r = DecodeAll(h);
        if (chunk < 1 || chunk > kMaxRefillChunk) {
            EXPECT_EQ(r.last, 8) << chunk;
            continue;
        }
        ASSERT_EQ(r.last, 16) << chunk;
        EXPECT_TRUE(r.output.bytes == s.reference.bytes) << chunk;
    }
    // A budget of half the data ends the page early: all rows come, white after the stop.
    MemoryPage page(s.coded, s.reference.width, s.reference.height, 0);
    ImageHeader& h = page.header();
    h.byte_budget = int32_t(s.coded.size() / 2);
    h.decode_flags |= kFlagBudgetGiven;
    const DecodeResult r = DecodeAll(h);
    ASSERT_EQ(r.last, 16);
    EXPECT_GT(h.error_line, 0);
    EXPECT_LT(h.error_line, s.reference.height);
    ExpectReferenceThenWhite(r.output, s.reference, h.error_line - 1, h.error_line + 1);
}

TEST(CodedStrips, TheLineFaceDeliversTheSameLinesAsTheBitmap) {
    const Strip s = ReadStrip("text300_g3_2d.tif");
    ASSERT_FALSE(s.coded.empty());
    MemoryPage page(s.coded, s.reference.width, s.reference.height, 2);
    ImageHeader& h = page.header();
    ASSERT_EQ(LineFaceSetUp(h, 0), 0);
    Bitmap drawn(s.reference.width, s.reference.height);
    for (int y = 0; y < s.reference.height; ++y) {
        ASSERT_EQ(LineFaceNextLine(h), kLineGood) << y;
        for (int i = 0; h.current_line[i] < h.width; i += 2)
            for (int x = h.current_line[i]; x < std::min<int>(h.current_line[i + 1], h.width); ++x)
                drawn.Set(x, y);
    }
    EXPECT_EQ(LineFaceNextLine(h), kLineEnd);
    BilevelRelease(h);
    EXPECT_EQ(h.input_buffer, nullptr);
    EXPECT_TRUE(drawn == s.reference);
}

}  // namespace
}  // namespace pixdoc::bilevel::testing
