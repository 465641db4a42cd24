#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/barcode/two_of_five.h"
#include "tests/imaging/barcode/bar_lines.h"
#include "tests/imaging/barcode/zint_symbols.h"

namespace pixdoc::barcode {
namespace {

using testing::BarLine;
using testing::LineFromElements;
using testing::LineFromGroups;
using testing::MarkedBackwards;
using testing::ReadWith;
using testing::Reversed;
using testing::SymbolElements;

// Wide/narrow elements of the digits 0-9 (first element first), written out independently of
// the decoder's table.
const char* const kDigitWides[10] = {"nnwwn", "wnnnw", "nwnnw", "wwnnn", "nnwnw",
                                     "wnwnn", "nwwnn", "nnnww", "wnnwn", "nwnwn"};

std::vector<int> InterleavedElements(const std::string& digits, int narrow, int wide) {
    std::vector<int> e = {narrow, narrow, narrow, narrow};
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        const char* bars = kDigitWides[digits[i] - '0'];
        const char* spaces = kDigitWides[digits[i + 1] - '0'];
        for (int k = 0; k < 5; ++k) {
            e.push_back(bars[k] == 'w' ? wide : narrow);
            e.push_back(spaces[k] == 'w' ? wide : narrow);
        }
    }
    e.insert(e.end(), {wide, narrow, narrow});
    return e;
}

// IATA: start two narrow bars, five bars per digit, stop wide and narrow bar; every space a gap.
std::vector<int> IataElements(const std::string& digits, int narrow, int wide, int gap) {
    std::vector<int> e = {narrow, gap, narrow, gap};
    for (char d : digits) {
        for (int k = 0; k < 5; ++k)
            e.insert(e.end(), {kDigitWides[d - '0'][k] == 'w' ? wide : narrow, gap});
    }
    e.insert(e.end(), {wide, gap, narrow});
    return e;
}

struct ZintCase {
    const char* name;
    DecodeFn decode;
    const char* text;  // the expected read, "<none>" for a symbol that must not be read
};

class TwoOfFiveZint : public ::testing::TestWithParam<ZintCase> {};

// Each symbol at 1 to 4 pixels per module (zint draws wide elements three modules wide), read
// from the left and, mirrored as when printed upside down, from the right.
TEST_P(TwoOfFiveZint, ReadsAtEveryScaleInBothDirections) {
    const ZintCase& c = GetParam();
    const std::string expected = c.text;
    for (int scale = 1; scale <= 4; ++scale) {
        const int threshold = 2 * scale;
        const std::vector<int> elements = SymbolElements(c.name, scale);
        const BarLine upright = LineFromElements(elements, 20 * scale, 20 * scale);
        Candidate out;
        EXPECT_EQ(ReadWith(c.decode, upright, threshold, false, &out), expected)
            << "scale " << scale;
        if (expected != "<none>") {
            EXPECT_EQ(out.start_column, 20 * scale);
            EXPECT_EQ(out.end_column, upright.right_edge - 20 * scale - 1);
        }
        const BarLine mirrored = LineFromElements(Reversed(elements), 20 * scale, 20 * scale);
        const std::string backward = expected == "<none>" ? expected : MarkedBackwards(expected);
        EXPECT_EQ(ReadWith(c.decode, mirrored, threshold), backward) << "mirrored, scale " << scale;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Symbols, TwoOfFiveZint,
    ::testing::Values(ZintCase{"i25_2", &DecodeInterleaved2of5, "*12*"},
                      ZintCase{"i25_4", &DecodeInterleaved2of5, "*1234*"},
                      ZintCase{"i25_10", &DecodeInterleaved2of5, "*0123456789*"},
                      ZintCase{"i25_18", &DecodeInterleaved2of5, "*987654321098765432*"},
                      ZintCase{"iata_15", &DecodeIata2of5, "*123456789012345*"},
                      ZintCase{"iata_14", &DecodeIata2of5, "<none>"},
                      ZintCase{"iata_16", &DecodeIata2of5, "<none>"},
                      // Neither decoder takes the other's symbols for its own.
                      ZintCase{"iata_15", &DecodeInterleaved2of5, "<none>"},
                      ZintCase{"i25_10", &DecodeIata2of5, "<none>"}),
    [](const auto& info) {
        const bool iata = info.param.decode == &DecodeIata2of5;
        return std::string(info.param.name) + (iata ? "_by_iata" : "_by_interleaved");
    });

TEST(Interleaved2of5, SymbolAfterTextLikeBarsIsFound) {
    const std::vector<int> noise = {3, 2, 5, 3, 2, 2, 7, 4, 3};
    const BarLine line = LineFromGroups({noise, InterleavedElements("4711", 3, 8)}, 30, 30);
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, line, 4), "*4711*");
}

// Text-like elements no wider than 3T run straight into the symbol: nothing resets the reader
// before the start, in either reading direction.
TEST(Interleaved2of5, SymbolJoinedToTextLikeElementsIsFound) {
    std::vector<int> forward = {7, 3, 3, 3};
    const std::vector<int> symbol = InterleavedElements("1234", 3, 8);
    forward.insert(forward.end(), symbol.begin(), symbol.end());
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, LineFromElements(forward), 3), "*1234*");

    std::vector<int> backward = {7, 3, 3, 3};
    const std::vector<int> mirrored = Reversed(symbol);
    backward.insert(backward.end(), mirrored.begin(), mirrored.end());
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, LineFromElements(backward), 3),
              MarkedBackwards("*1234*"));
}

// A one-pixel element whose changes jump left and back: the merged element is as wide as its ends
// are apart, whatever its parts.
TEST(Interleaved2of5, MergedElementCountsByItsOwnWidth) {
    const std::vector<int> e = InterleavedElements("12", 3, 8);
    BarLine line;
    line.list = {0, 0};
    int x = 50;
    for (size_t i = 0; i < e.size(); ++i) {
        line.list.push_back(static_cast<int16_t>(x));
        if (i == 9)
            line.list.insert(line.list.end(),
                             {static_cast<int16_t>(x - 30), static_cast<int16_t>(x - 29)});
        x += e[i];
    }
    line.list.push_back(static_cast<int16_t>(x));
    line.count = static_cast<int>(line.list.size());
    line.right_edge = x + 40;
    line.list.insert(line.list.end(), 4, static_cast<int16_t>(line.right_edge));
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, line, 6, true), "*12*");
}

// A one-pixel element right before a change past the right edge merges over it, and the merged walk
// goes on where the list comes back left of the edge; the walk without merging ends there.
TEST(Interleaved2of5, MergedWalkGoesOnOverAChangePastTheEdge) {
    BarLine line;
    line.list = {0, 0, 10, 13, 14, 900};
    int x = 100;
    for (int width : InterleavedElements("12", 3, 8)) {
        line.list.push_back(static_cast<int16_t>(x));
        x += width;
    }
    line.list.push_back(static_cast<int16_t>(x));
    line.count = static_cast<int>(line.list.size());
    line.right_edge = 800;
    line.list.insert(line.list.end(), 4, static_cast<int16_t>(line.right_edge));
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, line, 6, true), "*12*");
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, line, 6, false), "<none>");
}

TEST(Interleaved2of5, ThresholdBelowTwoNeverReads) {
    const BarLine line = LineFromElements(InterleavedElements("1234", 1, 3), 10, 10);
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, line, 2), "*1234*");
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, line, 1), "<none>");
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, line, -3), "<none>");
}

TEST(Interleaved2of5, StartMustBeFourElementsOfAtMostT) {
    std::vector<int> e = InterleavedElements("1234", 3, 8);
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, LineFromElements(e), 3), "*1234*");
    e[1] = 4;
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, LineFromElements(e), 3), "<none>");
}

TEST(Interleaved2of5, ElementWiderThanThreeTEndsTheAttempt) {
    std::vector<int> e = InterleavedElements("1234", 3, 8);
    e[4] = 9;  // the first wide bar of digit 1, exactly 3T
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, LineFromElements(e), 3), "*1234*");
    e[4] = 10;
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, LineFromElements(e), 3), "<none>");
}

TEST(Interleaved2of5, GroupWithThreeWideBarsIsReclassifiedAtTPlusOne) {
    std::vector<int> e = InterleavedElements("1234", 2, 7);
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, LineFromElements(e), 3), "*1234*");
    e[6] = 4;  // a narrow bar of digit 1 grown by ink to T + 1
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, LineFromElements(e), 3), "*1234*");
    e[6] = 6;  // wide at T + 2 as well: the pattern stays wrong
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, LineFromElements(e), 3), "<none>");
}

TEST(Interleaved2of5, GroupWidthsMustAgreeWithinFourPixels) {
    std::vector<int> e = InterleavedElements("123456", 2, 7);
    e[24] += 4;  // the wide first bar of the third pair
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, LineFromElements(e), 4), "*123456*");
    e[24] += 1;
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, LineFromElements(e), 4), "<none>");
}

TEST(Interleaved2of5, SymbolRunningToTheRightEdgeIsRead) {
    const BarLine line = LineFromElements(InterleavedElements("5566", 3, 8), 30, 2);
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, line, 3), "*5566*");
}

TEST(Interleaved2of5, SinglePixelSpeckIsMergedOnlyWithTheSwitch) {
    std::vector<int> e = InterleavedElements("1234", 3, 8);
    // A wide bar of the first pair split by a one-pixel white speck: 3 + 1 + 4 = 8.
    e.erase(e.begin() + 4);
    e.insert(e.begin() + 4, {3, 1, 4});
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, LineFromElements(e), 3, false), "<none>");
    EXPECT_EQ(ReadWith(&DecodeInterleaved2of5, LineFromElements(e), 3, true), "*1234*");
}

TEST(Iata2of5, GapOfThreeTPlusTwoIsSkippedAndOneWiderResets) {
    std::vector<int> e = IataElements("123456789012345", 2, 6, 2);
    e[1] = 11;  // a gap of 3T + 2 inside the start
    EXPECT_EQ(ReadWith(&DecodeIata2of5, LineFromElements(e), 3), "*123456789012345*");
    e[1] = 12;
    EXPECT_EQ(ReadWith(&DecodeIata2of5, LineFromElements(e), 3), "<none>");
}

TEST(Iata2of5, ReadsBackwardsAndAtTheRightEdge) {
    const std::vector<int> e = IataElements("999999999000001", 2, 6, 2);
    EXPECT_EQ(ReadWith(&DecodeIata2of5, LineFromElements(Reversed(e)), 3),
              MarkedBackwards("*999999999000001*"));
    EXPECT_EQ(ReadWith(&DecodeIata2of5, LineFromElements(e, 20, 1), 3), "*999999999000001*");
}

// A failed start switches searching off; a space wider than 2T (yet still a gap's width) then
// resets the reader right before the symbol.
TEST(Iata2of5, SymbolAfterAFailedStartWithoutAWideGapIsRead) {
    std::vector<int> e = {6, 2, 2, 2, 2, 8};
    const std::vector<int> symbol = IataElements("123456789012345", 2, 6, 2);
    e.insert(e.end(), symbol.begin(), symbol.end());
    EXPECT_EQ(ReadWith(&DecodeIata2of5, LineFromElements(e), 3), "*123456789012345*");
}

TEST(Iata2of5, ThresholdBelowTwoNeverReads) {
    const BarLine line = LineFromElements(IataElements("123456789012345", 1, 3, 1), 10, 10);
    EXPECT_EQ(ReadWith(&DecodeIata2of5, line, 2), "*123456789012345*");
    EXPECT_EQ(ReadWith(&DecodeIata2of5, line, 1), "<none>");
}

}  // namespace
}  // namespace pixdoc::barcode
