// The line decoders over hand-built codings: one-dimensional and two-dimensional lines, the
// uncompressed-mode extension, the EOL search, the run-length rows and the row converter.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "imaging/decode/bilevel/change_list.h"
#include "imaging/decode/bilevel/line_codings.h"
#include "imaging/decode/bilevel/row_to_changes.h"
#include "tests/imaging/decode/bilevel_pages.h"

namespace pixdoc::bilevel {
namespace {

// Code words used below (T.4).
const std::string kEol = "000000000001";
const std::string kW0 = "00110101", kW2 = "0111", kW4 = "1011", kW10 = "00111";
const std::string kB0 = "0000110111", kB2 = "11", kB3 = "10", kB5 = "0011";
const std::string kV0 = "1", kVR1 = "011", kVL1 = "010", kPass = "0001", kHoriz = "001";

using testing::Pack;

using testing::Changes;
using testing::Decoder;

TEST(OneDLines, RunsAlternateFromWhiteAndEndAtTheWidth) {
    // Group 3 1D: EOL, white 10, black 5, white 17 (101011) (width 32); then a line starting
    // black: white 0, black 3, white 18 (0100111), black 6 (0010) (width 27).
    Decoder d(kEol + kW10 + kB5 + "101011" + kEol + kW0 + kB3 + "0100111" + "0010", 32);
    EXPECT_EQ(d.GoodLine(kGroup3OneD), (std::vector<int>{10, 15}));
    d.width = 27;
    EXPECT_EQ(d.GoodLine(kGroup3OneD), (std::vector<int>{0, 3, 21}));
}

TEST(OneDLines, ZeroLengthRunsMergeTheirNeighbours) {
    // Modified Huffman rows, byte aligned: white 0 + black 0 at the start is dropped; a white
    // run of 0 in the middle joins two black runs.
    const std::string row1 = kW0 + kB0 + kW4 + kB2 + kW0 + kB2;  // width 8: 4 white, 4 black
    Decoder d(row1 + std::string((8 - row1.size() % 8) % 8, '0'), 8);
    EXPECT_EQ(d.GoodLine(kModifiedHuffman), (std::vector<int>{4}));
    EXPECT_EQ(d.input.at.bit_count, 0);  // the next row starts on a byte
}

TEST(Lines, BadLinesAreDamaged) {
    const std::string eofb = kEol + kEol;
    const struct {
        const char* what;
        std::string bits;
        int width;
        int32_t code;
    } cases[] = {
        {"1D line ending at 6 of 8", kW4 + kB2 + kEol, 8, kModifiedHuffman},
        {"1D run of 10 in 8", kW10 + "0000", 8, kModifiedHuffman},
        {"2D right move past the width", "0000011" /* VR3 */ + eofb, 16, kGroup4},
        {"2D unknown extension mid-line", kVR1 + "0000001000" + eofb, 16, kGroup4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Decoder d(c.bits, c.width);
        EXPECT_EQ(d.Line(c.code), kLineDamaged);
        // The list of a damaged line still ends with sentinels.
        EXPECT_EQ(d.current[d.Now().size()], c.width);
    }
    // A vertical mode left of a0.
    Decoder left(kVR1 + "0000010" /* VL3 */ + eofb, 16);
    left.current = {4, 5, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};
    EXPECT_EQ(left.Line(kGroup4), kLineDamaged);
}

TEST(OneDLines, ADamagedGroup3LineIsRetriedFromTheNextEol) {
    // First attempt: white 4 then an EOL; retry: white 8.
    Decoder d(kEol + kW4 + kEol + "10011" /* white 8 */, 8);
    EXPECT_EQ(d.GoodLine(kGroup3OneD), std::vector<int>{});
}

TEST(EolSearch, SkipsFillAndGarbageAndEndsAtSixEols) {
    const std::string fill = "0000000";
    std::string bits = "1101" + fill + kEol + kW10 + kEol;
    for (int i = 0; i < 6; ++i)
        bits += kEol;
    Decoder d(bits, 10);
    EXPECT_EQ(d.Line(kGroup3OneD), kLineGood);
    EXPECT_EQ(d.Line(kGroup3OneD), kLineEnd);
    // Data that simply runs out also ends the page.
    Decoder empty("", 10);
    EXPECT_EQ(empty.Line(kGroup3OneD), kLineEnd);
    Decoder zeros(std::string(200, '0'), 10);
    EXPECT_EQ(zeros.Line(kGroup3TwoD), kLineEnd);
}

TEST(TwoDLines, VerticalPassAndHorizontalModesFollowTheReferenceLine) {
    // Width 16. Line 0 (1D, tag 1): white 4, black 4, white 8 -> changes 4, 8.
    // Line 1 (2D, tag 0): VR1 (a1 = 5), V0 (a1 = 8), then horizontal white 2 black 3 -> 10, 13,
    // then V0 onto the sentinel (16).
    const std::string line0 = kEol + "1" + kW4 + "011" /* black 4 */ + "10011" /* white 8 */;
    const std::string line1 = kEol + "0" + kVR1 + kV0 + kHoriz + kW2 + kB3 + kV0;
    // Line 2 (2D): pass (a0 moves to 8), then V0 onto 10, VL1 (12), then V0 (16).
    const std::string line2 = kEol + "0" + kPass + kV0 + kVL1 + kV0;
    Decoder d(line0 + line1 + line2, 16);
    EXPECT_EQ(d.GoodLine(kGroup3TwoD), (std::vector<int>{4, 8}));
    EXPECT_EQ(d.GoodLine(kGroup3TwoD), (std::vector<int>{5, 8, 10, 13}));
    EXPECT_EQ(d.GoodLine(kGroup3TwoD), (std::vector<int>{10, 12}));
}

TEST(TwoDLines, Group4EndOfBlockEndsThePage) {
    Decoder d(kV0 + kEol + kEol, 16);  // a white line against the empty reference, then EOFB
    EXPECT_EQ(d.Line(kGroup4), kLineGood);
    EXPECT_EQ(d.Line(kGroup4), kLineEnd);
}

TEST(TwoDLines, UncompressedModePaintsPixelsAndExitsWithTheTagColour) {
    // Width 16: enter uncompressed mode, "01" (white, black), "1" (black), "000001" (five
    // whites), exit "00000001" + T=1 after one white: pixels 0 1 1 0 0 0 0 0 0 then black from
    // 9 on; then V0 ends the line at the sentinel (16), closing nothing.
    const std::string bits = "0000001111" + std::string("01") + "1" + "000001" + "00000001" + "1" +
                             kHoriz + kB3 + kW4 + kV0;
    Decoder d(bits + kEol + kEol, 16);
    EXPECT_EQ(d.GoodLine(kGroup4), (std::vector<int>{1, 3, 9, 12}));
}

TEST(TwoDLines, ADamagedGroup3TwoDLineSkipsToTheNextOneDLine) {
    // Width 16. A 2D line that runs past the width (VR3 onto the sentinel), then a 2D line that
    // is skipped, then a 1D line (white 4, black 4, white 8) that is decoded in its place.
    const std::string bad = kEol + "0" + "0000011";
    const std::string skipped = kEol + "0" + kV0;
    const std::string good = kEol + "1" + kW4 + "011" + "10011";
    Decoder d(bad + skipped + good + kEol + kEol + kEol + kEol + kEol + kEol, 16);
    EXPECT_EQ(d.GoodLine(kGroup3TwoD), (std::vector<int>{4, 8}));
    EXPECT_EQ(d.Line(kGroup3TwoD), kLineEnd);
}

TEST(TwoDLines, CodeFourReadsEolsOnlyOnItsFirstTwoLines) {
    const std::string line0 = kEol + "1" + kW4 + "011" + "10011";  // 1D: 4, 8
    const std::string line1 = kEol + "0" + kV0 + kV0 + kV0;        // 2D: same
    const std::string line2 = kV0 + kV0 + kV0;                     // 2D, no EOL
    Decoder d(line0 + line1 + line2, 16);
    EXPECT_EQ(d.Line(kTwoDNoEol, 0), kLineGood);
    EXPECT_EQ(d.Line(kTwoDNoEol, 1), kLineGood);
    EXPECT_EQ(d.GoodLine(kTwoDNoEol, 2), (std::vector<int>{4, 8}));
}

TEST(ByteRows, UncompressedPackBitsAndPcxRowsBecomeChangeLists) {
    Decoder raw(std::vector<uint8_t>{0xF0, 0x10, 0x0F, 0xFF}, 12);
    EXPECT_EQ(raw.GoodLine(kUncompressed),
              (std::vector<int>{0, 4, 11}));  // bits past the width are dropped
    EXPECT_EQ(raw.GoodLine(kUncompressed), (std::vector<int>{4}));
    EXPECT_EQ(raw.Line(kUncompressed), kLineEnd);

    // PackBits: 128 is skipped, -2 (254) repeats 3 times and is cut at the row end (2 bytes).
    Decoder pb(std::vector<uint8_t>{128, 254, 0xFF, 0x01, 0x00, 0x0F}, 16);
    EXPECT_EQ(pb.GoodLine(kPackBits), (std::vector<int>{0}));
    EXPECT_EQ(pb.GoodLine(kPackBits), (std::vector<int>{12}));  // literal of two: 0x00 0x0F
    EXPECT_EQ(pb.Line(kPackBits), kLineEnd);

    // PCX stores white as 1: 0xC2 0xF0 is "0xF0 twice", inverted 0x0F 0x0F.
    Decoder pcx(std::vector<uint8_t>{0xC3, 0xF0, 0x00, 0x3F}, 16);
    EXPECT_EQ(pcx.GoodLine(kPcx), (std::vector<int>{4, 8, 12}));  // run of 3 cut to 2
    EXPECT_EQ(pcx.GoodLine(kPcx), (std::vector<int>{0, 10}));     // 0x00 -> 0xFF, 0x3F -> 0xC0
}

TEST(ByteRows, UnknownCodesGiveTheWidth) {
    Decoder d("", 40);
    EXPECT_EQ(d.Line(6), 40);
    Decoder narrow("", 2);
    EXPECT_EQ(narrow.Line(9), 4);
}

// The steps after vertical and pass modes against the full scan, from every b1 a line can
// reach, over random reference lines dense enough that a1 falls on, before and past b2 and on
// the entry before b1, at both ends of the line.
TEST(B1Steps, AgreeWithTheScanAfterEveryVerticalAndPassMode) {
    std::mt19937 rng(31);
    for (int round = 0; round < 400; ++round) {
        const int width = 1 + int(rng() % 40);
        std::vector<int16_t> reference;
        for (int x = 0; x < width; ++x)
            if (rng() % 3 == 0) reference.push_back(int16_t(x));
        reference.resize(reference.size() + kSentinels, int16_t(width));
        for (int colour = 0; colour < 2; ++colour)
            for (int a0 = -1; a0 < width; ++a0) {
                const int j = FindB1(reference.data(), 0, a0, colour, width);
                const int b1 = reference[size_t(j)];
                const int b2 = reference[size_t(j) + 1];
                SCOPED_TRACE("round " + std::to_string(round) + " a0 " + std::to_string(a0));
                if (b2 < width) {
                    EXPECT_EQ(B1AfterPass(j), FindB1(reference.data(), j, b2, colour, width));
                }
                for (int offset = -3; offset <= 3; ++offset) {
                    const int a1 = b1 + offset;
                    if (a1 < std::max(a0, 0) || a1 >= width) continue;
                    EXPECT_EQ(B1AfterVertical(reference.data(), j, a1),
                              FindB1(reference.data(), j, a1, colour ^ 1, width))
                        << "offset " << offset;
                }
            }
    }
}

TEST(RowToChanges, AgreesWithAPixelByPixelScan) {
    std::mt19937 rng(7);
    for (int width : {1, 7, 8, 31, 32, 33, 63, 64, 65, 100, 127, 129, 1728, 2481}) {
        for (int trial = 0; trial < 20; ++trial) {
            std::vector<uint8_t> row((width + 7) / 8);
            const int density = trial % 4;
            for (auto& b : row)
                b = density == 0   ? uint8_t(rng())
                    : density == 1 ? 0xFF
                    : density == 2 ? 0
                                   : uint8_t(rng() & rng());
            std::vector<int> expected;
            int colour = 0;
            for (int x = 0; x < width; ++x) {
                const int pixel = (row[x / 8] >> (7 - x % 8)) & 1;
                if (pixel != colour) expected.push_back(x), colour = pixel;
            }
            std::vector<int16_t> list(ChangeListEntries(width), -1);
            const int n = RowToChanges(row.data(), width, list.data());
            ASSERT_EQ(n, int(expected.size()));
            EXPECT_EQ(Changes(list.data(), width), expected) << width;
            for (int i = 0; i < kRowSentinels; ++i)
                EXPECT_EQ(list[n + i], width);
        }
    }
}

}  // namespace
}  // namespace pixdoc::bilevel
