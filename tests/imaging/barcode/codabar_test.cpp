#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "imaging/barcode/codabar.h"
#include "tests/imaging/barcode/bar_lines.h"
#include "tests/imaging/barcode/zint_symbols.h"

namespace pixdoc::barcode {
namespace {

using testing::BarLine;
using testing::LineFromElements;
using testing::LineFromGroups;
using testing::MarkedBackwards;
using testing::Reversed;
using testing::SymbolElements;

// Wide (w) and narrow (n) elements of the Codabar characters, written out from the standard
// independently of the decoder's table.
const std::map<char, std::string> kPatterns = {
    {'0', "nnnnnww"}, {'1', "nnnnwwn"}, {'2', "nnnwnnw"}, {'3', "wwnnnnn"}, {'4', "nnwnnwn"},
    {'5', "wnnnnwn"}, {'6', "nwnnnnw"}, {'7', "nwnnwnn"}, {'8', "nwwnnnn"}, {'9', "wnnwnnn"},
    {'-', "nnnwwnn"}, {'$', "nnwwnnn"}, {':', "wnnnwnw"}, {'/', "wnwnnnw"}, {'.', "wnwnwnn"},
    {'+', "nnwnwnw"}, {'A', "nnwwnwn"}, {'B', "nwnwnnw"}, {'C', "nnnwnww"}, {'D', "nnnwwwn"},
};

std::vector<int> CodabarElements(const std::string& text, int narrow, int wide, int gap) {
    std::vector<int> e;
    for (char c : text) {
        if (!e.empty()) e.push_back(gap);
        for (char k : kPatterns.at(c))
            e.push_back(k == 'w' ? wide : narrow);
    }
    return e;
}

std::string Read(const BarLine& line, int threshold, bool merge = false,
                 Candidate* candidate = nullptr, const DecoderOptions& options = {}) {
    return testing::ReadWith(&DecodeCodabar, line, threshold, merge, candidate, options);
}

class CodabarTest : public ::testing::Test {};

struct ZintCase {
    const char* name;
    const char* text;
};

class CodabarZint : public ::testing::TestWithParam<ZintCase> {};

// zint draws wide elements two modules wide; T = two modules' pixels separates them.
TEST_P(CodabarZint, ReadsEachStartStopPairAtEveryScaleInBothDirections) {
    const ZintCase& c = GetParam();
    for (int scale = 1; scale <= 4; ++scale) {
        const std::vector<int> elements = SymbolElements(c.name, scale);
        const BarLine upright = LineFromElements(elements, 20 * scale, 20 * scale);
        Candidate out;
        EXPECT_EQ(Read(upright, 2 * scale, false, &out), c.text) << "scale " << scale;
        EXPECT_EQ(out.start_column, 20 * scale);
        EXPECT_EQ(out.end_column, upright.right_edge - 20 * scale - 1);
        const BarLine mirrored = LineFromElements(Reversed(elements), 20 * scale, 20 * scale);
        EXPECT_EQ(Read(mirrored, 2 * scale), MarkedBackwards(c.text)) << "scale " << scale;
    }
}

INSTANTIATE_TEST_SUITE_P(Symbols, CodabarZint,
                         ::testing::Values(ZintCase{"codabar_ab", "*A1B*"},
                                           ZintCase{"codabar_bc", "*B4567C*"},
                                           ZintCase{"codabar_cd", "*C890D*"},
                                           ZintCase{"codabar_da", "*D-$:/.+A*"},
                                           ZintCase{"codabar_aa", "*A0123A*"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CodabarTest, StartFollowedDirectlyByStopIsNotARead) {
    EXPECT_EQ(Read(LineFromElements(CodabarElements("A1B", 2, 5, 2)), 3), "*A1B*");
    EXPECT_EQ(Read(LineFromElements(CodabarElements("AB", 2, 5, 2)), 3), "<none>");
}

TEST_F(CodabarTest, MinimumSizeCountsStartAndStop) {
    const BarLine five = LineFromElements(SymbolElements("codabar_3digits", 2), 40, 40);
    const BarLine six = LineFromElements(SymbolElements("codabar_4digits", 2), 40, 40);
    EXPECT_EQ(Read(five, 4), "*A123B*");
    DecoderOptions minimum;
    minimum.codabar_min_size = 6;
    EXPECT_EQ(Read(five, 4, false, nullptr, minimum), "<none>");
    EXPECT_EQ(Read(six, 4, false, nullptr, minimum), "*A1234B*");
    minimum.codabar_min_size = 5;
    EXPECT_EQ(Read(five, 4, false, nullptr, minimum), "*A123B*");
}

TEST_F(CodabarTest, DataCharacterBeforeAnyStartStopsTheSearchUntilAWideElement) {
    // "1" printed just ahead of the symbol, separated by a normal gap: no start is ever seen.
    EXPECT_EQ(Read(LineFromElements(CodabarElements("1A1B", 2, 5, 2)), 3), "<none>");
    // Separated by a white stretch wider than 2T, the symbol is read.
    const BarLine apart =
        LineFromGroups({CodabarElements("1", 2, 5, 2), CodabarElements("A1B", 2, 5, 2)}, 7, 30);
    EXPECT_EQ(Read(apart, 3), "*A1B*");
}

TEST_F(CodabarTest, SecondPassReadsBarsExactlyTWideAsNarrow) {
    // Narrow bars grown to exactly T: the first pass sees them wide, the second narrow.
    std::vector<int> e = CodabarElements("A1B", 2, 5, 2);
    e[0] = 3;
    EXPECT_EQ(Read(LineFromElements(e), 3), "*A1B*");
    e[0] = 4;
    EXPECT_EQ(Read(LineFromElements(e), 3), "<none>");
}

TEST_F(CodabarTest, ThresholdBelowTwoNeverReads) {
    const BarLine line = LineFromElements(CodabarElements("A1B", 1, 2, 1), 10, 10);
    EXPECT_EQ(Read(line, 2), "*A1B*");
    EXPECT_EQ(Read(line, 1), "<none>");
}

TEST_F(CodabarTest, WideGapEndsTheRead) {
    // A gap is skipped while width / 4 <= T (up to 4T + 3); a wider one resets the read.
    EXPECT_EQ(Read(LineFromElements(CodabarElements("A12B", 2, 5, 15)), 3), "*A12B*");
    EXPECT_EQ(Read(LineFromElements(CodabarElements("A12B", 2, 5, 16)), 3), "<none>");
}

// Short bars and spaces with wider ones among them, as a text line gives; an odd count, so that
// any prefix of odd length starts and ends with a bar.
const std::vector<int> kTextLike = {2, 3, 9, 2, 4, 2, 3, 2, 8, 3, 2, 2, 5, 2, 2, 3, 2, 4, 7,
                                    2, 2, 3, 3, 2, 2, 6, 4, 2, 3, 9, 2, 2, 2, 3, 2, 5, 2};

TEST_F(CodabarTest, ReadsASymbolWhereverTextLikeElementsPutItOnTheLine) {
    const std::vector<int> symbol = CodabarElements("A1B", 2, 5, 2);
    for (size_t n = 1; n <= kTextLike.size(); n += 2) {
        const std::vector<int> text(kTextLike.begin(), kTextLike.begin() + n);
        EXPECT_EQ(Read(LineFromGroups({text, symbol}, 20, 30), 3), "*A1B*") << n << " ahead";
        EXPECT_EQ(Read(LineFromGroups({Reversed(symbol), text}, 20, 30), 3),
                  MarkedBackwards("*A1B*"))
            << n << " behind";
    }
}

TEST_F(CodabarTest, MergingReadsASymbolWithACrackedBarAfterTextLikeElements) {
    // A's first wide bar printed as 3 pixels, a one-pixel crack and 4 pixels.
    std::vector<int> symbol = CodabarElements("A1B", 3, 8, 3);
    symbol.erase(symbol.begin() + 2);
    symbol.insert(symbol.begin() + 2, {3, 1, 4});
    EXPECT_EQ(Read(LineFromElements(symbol), 6, false), "<none>");
    std::vector<int> text = kTextLike;
    for (size_t i = 3; i < text.size(); i += 5)
        text[i] = 1;  // cracks in the text too
    for (size_t n = 1; n <= text.size(); n += 2) {
        const std::vector<int> ahead(text.begin(), text.begin() + n);
        EXPECT_EQ(Read(LineFromGroups({ahead, symbol}, 40, 40), 6, true), "*A1B*") << n;
    }
}

}  // namespace
}  // namespace pixdoc::barcode
