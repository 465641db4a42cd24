// The search frame on real pages: result codes and their order, the rectangle, the result
// filter's rules, the option setters, the status, and the Code 39 entry points.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/decoder.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"
#include "tests/imaging/barcode/result_text.h"

namespace pixdoc::barcode {
namespace {

using testing::ParseResult;

const std::string kPages = std::string(TEST_FIXTURE_DIR) + "/code39_pages/";
const std::string kUpright = kPages + "a4-300-upright-g4.tif";  // LABEL-0001 at 300..609, row 400
const std::string kUpsideDown = kPages + "a4-300-upside-down-g4.tif";
const std::string kShort = kPages + "a4-200-short-g4.tif";  // *1* *Q* *ABC* *ABCD*
const std::string kTurned = kPages + "a4-300-turned-g4.tif";
const std::string kColour = kPages + "colour.bmp";
const std::string kTwoPages = kPages + "two-pages-g4.tif";  // upright, then upside down
const std::string kTooWide = kPages + "too-wide-g4.tif";    // 30016 columns

struct Args {
    std::string file = kUpright;
    int16_t page = 1, x1 = 0, y1 = 0, x2 = 0, y2 = 0, direction = 0, mask = kCode39;
    int16_t threshold = 0, threshold2 = 0, span = 4, min_length = 4, max_results = 32;
    int16_t size = 4096;
};

struct Result {
    int32_t code;
    std::string text;
};

Result Seek(const Args& a) {
    std::vector<char> buffer(8192, 'x');
    Result r;
    r.code = PXinSeekBarCode(a.file.c_str(), a.page, a.x1, a.y1, a.x2, a.y2, a.direction, a.mask,
                             a.threshold, a.threshold2, a.span, a.min_length, a.max_results,
                             buffer.data(), a.size);
    r.text = a.size > 0 ? std::string(buffer.data()) : std::string();
    return r;
}

class SeekFrame : public ::testing::Test {
protected:
    void SetUp() override {
        ResetBarcodeState();
        PXinSeekBarCodeInsertData(1);
        BarcodeMultipleSetZoneHeight(100);
    }
};

TEST_F(SeekFrame, ResultCodesInTheirCheckOrder) {
    Args missing;
    missing.file = kPages + "no-such-file.tif";
    missing.mask = 0;
    EXPECT_EQ(Seek(missing).code, 1) << "a missing file gives 1 whatever the mask";
    Args empty_mask;
    empty_mask.mask = 0;
    EXPECT_EQ(Seek(empty_mask).code, 2);
    Args colour;
    colour.file = kColour;
    colour.mask = 0;
    EXPECT_EQ(Seek(colour).code, 3) << "the page check comes before the mask check";
    Args page_two;
    page_two.page = 2;
    EXPECT_EQ(Seek(page_two).code, 1);
    Args none;
    none.file = kTurned;
    EXPECT_EQ(Seek(none).code, 32);
    Args above_1024;
    above_1024.mask = 2048;
    EXPECT_EQ(Seek(above_1024).code, 32) << "bits above 1024 select nothing";
    Args too_wide;
    too_wide.file = kTooWide;
    too_wide.mask = 0;
    EXPECT_EQ(Seek(too_wide).code, 2) << "the mask check comes before the decoder set-up";
    for (int16_t direction : {0, 1, 2}) {
        too_wide.mask = kCode39;
        too_wide.direction = direction;
        EXPECT_EQ(Seek(too_wide).code, 4) << "direction " << direction;
    }
}

TEST_F(SeekFrame, LaterPageOfAMultiPageFile) {
    Args second;
    second.file = kTwoPages;
    second.page = 2;
    const Result r = Seek(second);
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.text, Seek(Args{.file = kUpsideDown}).text);
    Args first = second;
    first.page = 1;
    EXPECT_EQ(Seek(first).text, Seek(Args{}).text);
    second.page = 3;
    EXPECT_EQ(Seek(second).code, 1);
}

TEST_F(SeekFrame, BufferIsEmptiedOnlyWithAPositiveSize) {
    char buffer[16] = "untouched";
    EXPECT_EQ(PXinSeekBarCode(kTurned.c_str(), 1, 0, 0, 0, 0, 0, 1, 0, 0, 4, 4, 32, buffer, 16),
              32);
    EXPECT_STREQ(buffer, "");
    std::strcpy(buffer, "untouched");
    EXPECT_EQ(PXinSeekBarCode(kUpright.c_str(), 1, 0, 0, 0, 0, 0, 1, 0, 0, 4, 4, 32, buffer, 0),
              32);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(PXinSeekBarCode(kUpright.c_str(), 1, 0, 0, 0, 0, 0, 1, 0, 0, 4, 4, 32, nullptr, 99),
              32);
}

TEST_F(SeekFrame, RectangleIsRoundedUpToSixteen) {
    // The label's first row is 400: a 100 x 20 rectangle from row 375 is searched as 112 x 32,
    // rows 375 to 406.
    Args a;
    a.x1 = 296, a.y1 = 375, a.x2 = 296 + 100, a.y2 = 375 + 20;
    a.x2 = 700;  // wide enough for the whole label
    EXPECT_EQ(Seek(a).text, "*LABEL-0001*<300,609,401,1,4>");
    a.y1 = 300, a.y2 = 320;  // rows 300 to 331: above the label
    EXPECT_EQ(Seek(a).code, 32);
    Args whole;
    whole.x1 = whole.x2 = 500;
    EXPECT_EQ(ParseResult(Seek(whole).text).size(), 2u) << "x1 = x2 searches the whole page";
}

TEST_F(SeekFrame, OriginColumnIsRoundedDownToEight) {
    Args a;
    a.y1 = 390, a.y2 = 460, a.x2 = 1000;
    a.x1 = 303;  // searched from 296: the first bar at 300 is inside
    EXPECT_EQ(Seek(a).text, "*LABEL-0001*<300,609,401,1,4>");
    a.x1 = 310;  // searched from 304: the start character is cut
    EXPECT_EQ(Seek(a).code, 32);
    a.direction = 2;  // the bitmap path keeps the origin: positions count from it
    a.x1 = 300;
    EXPECT_EQ(Seek(a).text, "*LABEL-0001*<0,309,10,1,4>");
}

TEST_F(SeekFrame, RectangleInsideALaterStripAndTurned) {
    // Rows from the strip holding the rectangle's top (256 rows per strip).
    Args strips;
    strips.file = kPages + "a4-300-upright-g4-strips.tif";
    strips.x1 = 1100, strips.y1 = 1400, strips.x2 = 2000, strips.y2 = 1700;
    EXPECT_EQ(Seek(strips).text, "*ORDER 77/B*<1200,1819,1501,1,7>");
    // Turned: the line is the rectangle's column, positions count up from its bottom edge
    // (row 1700 + 608 - 1). TURN-CCW covers page rows 1800 to 2057 from column 1500.
    Args turned;
    turned.file = kTurned;
    turned.direction = 1;
    turned.x1 = 1400, turned.y1 = 1700, turned.x2 = 1800, turned.y2 = 2300;
    EXPECT_EQ(Seek(turned).text, "*TURN-CCW*<250,507,100,1,4>");
}

TEST_F(SeekFrame, ZoneHeightAgainstALabelFortyRowsHigh) {
    Args a;
    a.y2 = 1000, a.x2 = 1000;  // LABEL-0001 only: rows 400 to 439
    BarcodeMultipleSetZoneHeight(40);
    EXPECT_EQ(ParseResult(Seek(a).text).size(), 1u);
    BarcodeMultipleSetZoneHeight(10);
    auto reads = ParseResult(Seek(a).text);
    ASSERT_EQ(reads.size(), 4u);
    EXPECT_EQ(reads[1].line, 411);
    EXPECT_EQ(reads[3].line, 431);
    EXPECT_EQ(BarcodeMultipleSetZoneHeight(-1), 1);
    EXPECT_EQ(ParseResult(Seek(a).text).size(), 4u) << "a refused height keeps the setting";
    // Two labels on the same rows, 1200 pixels apart, are two reads.
    Args side;
    side.file = kUpsideDown;
    side.y1 = 2500, side.y2 = 3000, side.x2 = 2480;
    BarcodeMultipleSetZoneHeight(100);
    auto pair = ParseResult(Seek(side).text);
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_EQ(pair[0].text, "*SIDE-A*");
    EXPECT_EQ(pair[1].text, "*SIDE-B*");
}

TEST_F(SeekFrame, ZoneZeroComparesTextsOnFiveBits) {
    BarcodeMultipleSetZoneHeight(0);
    Args a;
    a.file = kShort;
    a.min_length = 0;
    auto reads = ParseResult(Seek(a).text);
    ASSERT_EQ(reads.size(), 3u);
    EXPECT_EQ(reads[0].text, "*1*");  // "*Q*" is taken for it
    EXPECT_EQ(reads[1].text, "*ABC*");
    EXPECT_EQ(reads[2].text, "*ABCD*");
}

TEST_F(SeekFrame, MinimumLengthCountsDataCharacters) {
    Args a;
    a.file = kShort;
    a.min_length = 4;
    EXPECT_EQ(Seek(a).text, "*ABCD*<800,953,1501,1,4>");
    a.min_length = -5;  // taken as 0
    EXPECT_EQ(ParseResult(Seek(a).text).size(), 4u);
}

TEST_F(SeekFrame, MaximumResultsClampedToOneAndHundredTwentyEight) {
    BarcodeMultipleSetZoneHeight(1);  // every row of every label is a read: 240 rows
    Args a;
    a.file = kUpsideDown;
    a.size = 32767;
    a.max_results = 500;
    Result many = Seek(a);
    EXPECT_EQ(ParseResult(many.text).size(), 128u);
    a.max_results = 0;
    EXPECT_EQ(ParseResult(Seek(a).text).size(), 1u);
    a.max_results = -7;
    EXPECT_EQ(ParseResult(Seek(a).text).size(), 1u);
}

TEST_F(SeekFrame, InsertDataOnlyWhenExactlyOne) {
    Args a;
    PXinSeekBarCodeInsertData(2);
    EXPECT_EQ(Seek(a).text, "*LABEL-0001**ORDER 77/B*");
    PXinSeekBarCodeInsertData(0);
    EXPECT_EQ(Seek(a).text, "*LABEL-0001**ORDER 77/B*");
}

TEST_F(SeekFrame, ReadThatDoesNotFitTheBufferIsDropped) {
    Args a;
    a.size = 12;  // "*LABEL-0001*" and its terminator need 13
    EXPECT_EQ(Seek(a).code, 32);
    a.size = 13;  // the text fits, its suffix does not; the longer second label does not fit
    Result r = Seek(a);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.text, "*LABEL-0001*");
    a.size = 40;  // the first read with its suffix; the second does not fit
    EXPECT_EQ(Seek(a).text, "*LABEL-0001*<300,609,401,1,4>");
}

TEST_F(SeekFrame, ReadBackwardsMarksAndStatus) {
    int32_t start = 0, end = 0, line = 0, reversed = 0, threshold = 0;
    Args turned;
    turned.file = kTurned;
    EXPECT_EQ(Seek(turned).code, 32);
    EXPECT_EQ(PX_GetBarCodeStatus(&start, &end, &line, &reversed, &threshold), 1)
        << "nothing found: the status is not valid";
    Args up;
    up.file = kUpsideDown;
    up.y2 = 1000, up.x2 = 1000;
    EXPECT_EQ(Seek(up).text, "*LABEL-0001*<300,609,401,1,4>");
    ASSERT_EQ(PX_GetBarCodeStatus(&start, &end, &line, &reversed, &threshold), 0);
    EXPECT_EQ(reversed, 1);
    EXPECT_EQ(line, 440) << "the last decoder success: the label's last row, a duplicate";
    EXPECT_EQ(threshold, 4);
    turned.direction = 1;
    Result r = Seek(turned);
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(static_cast<unsigned char>(r.text[0]), '*' | 0x80) << "kept in direction 1";
    ASSERT_EQ(PX_GetBarCodeStatus(&start, &end, &line, &reversed, &threshold), 0);
    EXPECT_EQ(reversed, 0);
}

TEST_F(SeekFrame, FirstThresholdDefaultFollowsTheXResolution) {
    // 300 dpi: 7. The 2-pixel label (narrow 2, wide 4) needs 3 or 4, the 4-pixel one 5 to 8.
    Args a;
    a.span = 0;
    EXPECT_EQ(Seek(a).text, "*ORDER 77/B*<1200,1819,1501,1,7>");
    a.threshold = 1;  // below 2: the default too
    EXPECT_EQ(Seek(a).text, "*ORDER 77/B*<1200,1819,1501,1,7>");
    a.threshold = 3;  // given: used as is
    EXPECT_EQ(Seek(a).text, "*LABEL-0001*<300,609,401,1,3>");
    // 200 dpi: 4.
    Args b;
    b.file = kShort;
    b.span = 0;
    EXPECT_EQ(ParseResult(Seek(b).text)[0].threshold, 4);
}

TEST_F(SeekFrame, Code39EntryPoints) {
    char text[128];
    // Threshold 6 with two retries tries 6, 5, 7, 4: the 2-pixel label reads at 4.
    EXPECT_EQ(PXinSeekBarCode3of9(kUpright.c_str(), 0, 350, 1000, 480, 6, 2, text, sizeof text), 0);
    EXPECT_STREQ(text, "*LABEL-0001*");
    EXPECT_EQ(PXinSeekBarCode3of9(kUpright.c_str(), 0, 350, 1000, 480, 6, 1, text, sizeof text), 5);
    // Upside down: plain text, reversed status.
    EXPECT_EQ(
        PXinSeekBarCode3of9Ex(kUpsideDown.c_str(), 1, 0, 350, 1000, 480, 4, 0, text, sizeof text),
        0);
    EXPECT_STREQ(text, "*LABEL-0001*");
    int32_t reversed = 0;
    ASSERT_EQ(PX_GetBarCodeStatus(nullptr, nullptr, nullptr, &reversed, nullptr), 0);
    EXPECT_EQ(reversed, 1);
    EXPECT_EQ(PXinSeekBarCode3of9Ex(kColour.c_str(), 1, 0, 0, 0, 0, 4, 0, text, sizeof text), 400);
    EXPECT_EQ(PXinSeekBarCode3of9(nullptr, 0, 0, 0, 0, 4, 0, text, sizeof text), 1);

    char many[512];
    EXPECT_EQ(
        PXinSeekBarCode3of9Multiple(kUpsideDown.c_str(), 0, 0, 0, 0, 4, 2, 32, many, sizeof many),
        0);
    EXPECT_EQ(ParseResult(many).size(), 4u) << many;
    EXPECT_EQ(
        PXinSeekBarCode3of9MultipleEx(kTurned.c_str(), 1, 0, 0, 0, 0, 4, 2, 32, many, sizeof many),
        5);
}

TEST_F(SeekFrame, Barcode39OnAnOpenedHeader) {
    ImageHeader h{};
    ASSERT_EQ(OpenImageHeader(0, kUpright.c_str(), 1, &h), 0);
    h.handle = files::FileOpen(kUpright.c_str());
    ASSERT_NE(h.handle, files::kInvalidHandle);
    char text[kCandidateCapacity];
    int32_t start = 0, end = 0;
    EXPECT_EQ(Barcode39(&h, text, 4, &start, &end), 0);
    EXPECT_STREQ(text, "*LABEL-0001*");
    EXPECT_EQ(start, 300);
    EXPECT_EQ(end, 609);
    files::FileClose(h.handle);

    ImageHeader none{};
    ASSERT_EQ(OpenImageHeader(0, kTurned.c_str(), 1, &none), 0);
    none.handle = files::FileOpen(kTurned.c_str());
    EXPECT_EQ(Barcode39(&none, text, 4, &start, &end), 32);
    files::FileClose(none.handle);
}

}  // namespace
}  // namespace pixdoc::barcode
