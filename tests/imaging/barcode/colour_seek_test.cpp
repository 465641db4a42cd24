// The barcode search of the colour edit buffer: luminance, rows and columns, the rectangle, the
// result codes in their order, the grey threshold and the read-backwards marks.
#include "imaging/barcode/colour_seek.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/luminance.h"
#include "imaging/colour/colour_edit.h"
#include "pixdoc32.h"
#include "tests/imaging/barcode/bar_lines.h"

namespace pixdoc::barcode {
namespace {

using Colour = std::array<uint8_t, 3>;
constexpr Colour kBlack = {0, 0, 0};
constexpr Colour kNavy = {20, 30, 110};     // luminance 33
constexpr Colour kCream = {250, 245, 200};  // luminance 240
constexpr int kGrey = 128;
constexpr int kResult = 1000;

std::vector<int> Code39(const char* text) {
    return testing::Code39Elements(text, 2, 6, 2);
}

// Searches with the reader control's arguments but the given rectangle, direction and grey.
struct Search {
    int32_t x1 = -1, y1 = -1, x2 = -1, y2 = -1;
    int32_t direction = 0;
    int32_t mask = kCode39;
    int32_t grey = kGrey;
    int32_t result_size = kResult;
    char result[kResult] = {};

    int32_t Run() {
        return PX_ColorEditSeekBarCode(x1, y1, x2, y2, direction, mask, 0, 0, 4, 0, 32, result,
                                       result_size, grey);
    }
};

class ColourSeek : public ::testing::Test {
protected:
    void SetUp() override {
        ResetColourEdit();
        ResetBarcodeState();
        PXinSeekBarCodeInsertData(1);
    }
    void TearDown() override {
        ResetColourEdit();
        ResetBarcodeState();
    }

    static void Start(int width, int height, const Colour& paper = {255, 255, 255}) {
        ASSERT_EQ(PX_StartColorEdit(width, height, paper[0], paper[1], paper[2]), 0);
    }

    static void Set(int x, int y, const Colour& c) {
        uint8_t* p = EditPixel(ColourEdit(), x, y);
        p[0] = c[0];
        p[1] = c[1];
        p[2] = c[2];
    }

    // Bars of `elements` across rows top .. bottom - 1 from column `left`.
    static void DrawRows(const std::vector<int>& elements, int left, int top, int bottom,
                         const Colour& ink) {
        int x = left;
        for (size_t i = 0; i < elements.size(); ++i) {
            for (int k = 0; k < elements[i]; ++k, ++x)
                for (int y = top; y < bottom && i % 2 == 0; ++y)
                    Set(x, y, ink);
        }
    }

    // The same bars down the columns left .. right - 1 from row `top`.
    static void DrawColumns(const std::vector<int>& elements, int top, int left, int right,
                            const Colour& ink) {
        int y = top;
        for (size_t i = 0; i < elements.size(); ++i) {
            for (int k = 0; k < elements[i]; ++k, ++y)
                for (int x = left; x < right && i % 2 == 0; ++x)
                    Set(x, y, ink);
        }
    }
};

TEST(Luminance, TablesRiseByAtMostOneToTheirWeights) {
    for (int t = 0; t < 3; ++t) {
        const auto& table = kLuminanceTables[t];
        EXPECT_EQ(table[0], 0);
        EXPECT_EQ(table[255], kLuminanceWeights[t]);
        for (int i = 1; i < 256; ++i) {
            EXPECT_GE(table[i], table[i - 1]) << t << " " << i;
            EXPECT_LE(table[i] - table[i - 1], 1) << t << " " << i;
        }
    }
    EXPECT_EQ(kLuminanceWeights[0], 76);
    EXPECT_EQ(kLuminanceWeights[1], 150);
    EXPECT_EQ(kLuminanceWeights[2], 29);
    const uint8_t white[3] = {255, 255, 255};
    const uint8_t red[3] = {255, 0, 0};
    EXPECT_EQ(Luminance(white), 255);
    EXPECT_EQ(Luminance(red), 76);
}

TEST(ColourChanges, AlternateFromBlackAndCountEveryChange) {
    // Four bars: eight changes, one fewer than a line needs to be searched; five: ten.
    std::vector<uint8_t> row;
    auto add = [&](int n, uint8_t v) { row.insert(row.end(), 3 * n, v); };
    add(3, 255);
    for (int bar = 0; bar < 5; ++bar) {
        add(2, 0);
        add(2, 255);
    }
    int16_t changes[64];
    EXPECT_EQ(ColourChanges(row.data(), 3, 3 + 4 * 4, kGrey, changes), 8);
    EXPECT_EQ(ColourChanges(row.data(), 3, 3 + 5 * 4, kGrey, changes), 10);
    EXPECT_LT(8, kColourMinimumChanges);
    EXPECT_EQ(changes[0], 3);
    EXPECT_EQ(changes[1], 5);
    // A bar running to the end gives an odd count; a black first pixel is a change at 0.
    EXPECT_EQ(ColourChanges(row.data() + 3 * 3, 3, 3, kGrey, changes), 2);
    EXPECT_EQ(changes[0], 0);
    EXPECT_EQ(ColourChanges(row.data() + 3 * 3, 3, 1, kGrey, changes), 1);
}

TEST_F(ColourSeek, ReadsRowsWithTheirLineNumbersAndColumnsDownward) {
    Start(400, 120, kCream);
    const std::vector<int> label = Code39("*AB12*");
    DrawRows(label, 50, 10, 40, kNavy);
    Search rows;
    ASSERT_EQ(rows.Run(), 0);
    EXPECT_EQ(std::string(rows.result), "*AB12*<50,239,10,1,4>");  // row 10, 0-based

    ResetColourEdit();
    Start(120, 400, kCream);
    DrawColumns(label, 50, 10, 40, kNavy);
    Search columns;
    columns.direction = 7;  // any value but 0
    ASSERT_EQ(columns.Run(), 0);
    EXPECT_EQ(std::string(columns.result), "*AB12*<50,239,10,1,4>");  // column 10, from the top
}

TEST_F(ColourSeek, ReadBackwardsMarksAreClearedInBothDirections) {
    const std::vector<int> upside_down = testing::Reversed(Code39("*AB12*"));
    for (int direction : {0, 1}) {
        ResetColourEdit();
        Start(300, 300);
        if (direction == 0)
            DrawRows(upside_down, 40, 20, 60, kBlack);
        else
            DrawColumns(upside_down, 40, 20, 60, kBlack);
        Search s;
        s.direction = direction;
        PXinSeekBarCodeLeaveInvertFlag(0);
        ASSERT_EQ(s.Run(), 0) << direction;
        EXPECT_EQ(std::string(s.result).substr(0, 6), "*AB12*") << direction;
        int32_t start = 0, end = 0, line = 0, reversed = 0, threshold = 0;
        ASSERT_EQ(PX_GetBarCodeStatus(&start, &end, &line, &reversed, &threshold), 0);
        EXPECT_EQ(reversed, 1) << direction;
        EXPECT_EQ(line, 59) << direction;  // the last line of the label: the search goes on

        PXinSeekBarCodeLeaveInvertFlag(1);
        ASSERT_EQ(s.Run(), 0) << direction;
        EXPECT_EQ(static_cast<unsigned char>(s.result[0]), '*' | 0x80) << direction;
        ASSERT_EQ(PX_GetBarCodeStatus(&start, &end, &line, &reversed, &threshold), 0);
        EXPECT_EQ(reversed, 0) << direction;
    }
}

TEST_F(ColourSeek, RectangleResultsInTheirOrder) {
    Search s;
    EXPECT_EQ(s.Run(), 1);  // no buffer, whatever the rest
    s.mask = 0;
    EXPECT_EQ(s.Run(), 1);

    Start(200, 100);
    DrawRows(Code39("*A1*"), 20, 10, 20, kBlack);
    s.mask = kCode39;
    EXPECT_EQ(s.Run(), 0);  // -1 for x1 alone takes the whole buffer
    s.x1 = 0;
    s.y1 = -1;
    s.x2 = 5;
    s.y2 = 5;
    EXPECT_EQ(s.Run(), 0);  // and so does -1 for y1
    const struct {
        int x1, y1, x2, y2;
    } refused[] = {{0, 0, 201, 100}, {0, 0, 200, 101}, {-2, 0, 200, 100}, {0, -2, 200, 100},
                   {50, 0, 50, 100}, {0, 60, 200, 50}, {201, 0, 202, 100}};
    for (const auto& r : refused) {
        s.x1 = r.x1, s.y1 = r.y1, s.x2 = r.x2, s.y2 = r.y2;
        std::strcpy(s.result, "kept");
        EXPECT_EQ(s.Run(), 2) << r.x1 << "," << r.y1 << "," << r.x2 << "," << r.y2;
        EXPECT_STREQ(s.result, "kept");  // refused before the buffer is emptied
    }
    s.x1 = 0, s.y1 = 0, s.x2 = 200, s.y2 = 100;
    EXPECT_EQ(s.Run(), 0);
    s.mask = 0;
    std::strcpy(s.result, "emptied");
    EXPECT_EQ(s.Run(), 2);
    EXPECT_STREQ(s.result, "");  // the mask is checked after the buffer is emptied
    s.mask = kCode128;
    EXPECT_EQ(s.Run(), 32);
    s.x1 = 0, s.y1 = 0, s.x2 = 200, s.y2 = 9;  // above the label
    s.mask = kCode39;
    EXPECT_EQ(s.Run(), 32);
}

TEST_F(ColourSeek, GreyThresholdDecidesWhatIsBlack) {
    Start(300, 60);
    DrawRows(Code39("*GREY*"), 20, 0, 20, {40, 40, 40});  // luminance 40
    DrawRows(Code39("*JET*"), 20, 30, 50, kBlack);
    Search s;
    ASSERT_EQ(s.Run(), 0);
    EXPECT_EQ(std::string(s.result).find("*GREY*"), 0u);
    s.grey = 39;
    ASSERT_EQ(s.Run(), 0);
    EXPECT_EQ(std::string(s.result).find("*JET*"), 0u);
    s.grey = 0;  // only luminance 0 is black
    ASSERT_EQ(s.Run(), 0);
    EXPECT_EQ(std::string(s.result).find("*JET*"), 0u);
    s.grey = 255;  // every pixel black: no changes
    EXPECT_EQ(s.Run(), 32);
    s.grey = -1;  // none
    EXPECT_EQ(s.Run(), 32);
}

TEST_F(ColourSeek, NothingFoundLeavesTheStatusAsItWas) {
    Start(300, 60);
    Search s;
    int32_t line = 0;
    EXPECT_EQ(s.Run(), 32);
    EXPECT_EQ(PX_GetBarCodeStatus(nullptr, nullptr, &line, nullptr, nullptr), 1);
    DrawRows(Code39("*OK*"), 20, 5, 10, kBlack);
    ASSERT_EQ(s.Run(), 0);
    for (int x = 0; x < 300; ++x)
        for (int y = 0; y < 60; ++y)
            Set(x, y, {255, 255, 255});
    EXPECT_EQ(s.Run(), 32);
    EXPECT_EQ(PX_GetBarCodeStatus(nullptr, nullptr, &line, nullptr, nullptr), 0);
    EXPECT_EQ(line, 9);
}

TEST_F(ColourSeek, StretchesBeyondSixteenBitPositionsAreCut) {
    Start(kColourLongestStretch + 2000, 4);
    DrawRows(Code39("*NEAR*"), 100, 0, 4, kBlack);
    DrawRows(Code39("*FAR*"), kColourLongestStretch + 100, 0, 4, kBlack);
    Search s;
    ASSERT_EQ(s.Run(), 0);
    EXPECT_EQ(std::string(s.result).find("*NEAR*"), 0u);
    EXPECT_EQ(std::string(s.result).find("*FAR*"), std::string::npos);
}

TEST_F(ColourSeek, ABufferWithoutRowsFindsNothing) {
    for (int height : {0, -5}) {
        Start(40, height);
        for (int direction : {0, 1}) {
            Search s;
            s.direction = direction;
            EXPECT_EQ(s.Run(), 32) << height << " " << direction;
        }
        ResetColourEdit();
    }
}

TEST_F(ColourSeek, IsOrdinal459) {
    EXPECT_EQ(PX_GetExportByOrdinal(459), reinterpret_cast<void*>(&PX_ColorEditSeekBarCode));
    EXPECT_STREQ(PX_GetExportName(459), "PX_ColorEditSeekBarCode");
}

}  // namespace
}  // namespace pixdoc::barcode
