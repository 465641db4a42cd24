#include <gtest/gtest.h>

#include <string>

#include "imaging/barcode/code39.h"
#include "imaging/barcode/code39_table.h"
#include "tests/imaging/barcode/bar_lines.h"

namespace pixdoc::barcode {
namespace {

using testing::Code39Elements;
using testing::LineFromElements;
using testing::LineFromGroups;
using testing::Reversed;

constexpr int kNarrow = 2;
constexpr int kWide = 6;
constexpr int kT = 4;

// Code 39 keeps no scratch between calls: one context serves every read.
DecodeContext context;

std::string Text(const Candidate& c) {
    return c.text;
}

bool Read(const std::vector<int>& elements, int threshold, Candidate& out, bool merge = false) {
    auto line = LineFromElements(elements);
    return DecodeCode39(line.View(), threshold, merge, context, out);
}

char CharacterOf(const Code39Row* row) {
    return row ? row->character : '\0';
}

TEST(Code39Table, MatchesTheStandardPatterns) {
    auto table = Code39Table();
    ASSERT_EQ(table.size(), 44u);
    const std::string order = "1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ-. *$/+%";
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].character, order[i]);
        EXPECT_EQ(__builtin_popcount(table[i].forward), 3) << table[i].character;
        int reversed = 0;
        for (int b = 0; b < 9; ++b)
            reversed |= ((table[i].forward >> b) & 1) << (8 - b);
        EXPECT_EQ(table[i].backward, reversed) << table[i].character;
    }
    // A few rows straight from ISO/IEC 16388 (bar, space, ... bar; 1 wide).
    EXPECT_EQ(CharacterOf(FindCode39Forward(0b000110100)), '0');
    EXPECT_EQ(CharacterOf(FindCode39Forward(0b100001001)), 'A');
    EXPECT_EQ(CharacterOf(FindCode39Forward(0b011000100)), ' ');
    EXPECT_EQ(CharacterOf(FindCode39Forward(0b000101010)), '%');
    EXPECT_EQ(CharacterOf(FindCode39Forward(148)), '*');
    EXPECT_EQ(CharacterOf(FindCode39Backward(82)), '*');
    EXPECT_EQ(CharacterOf(FindCode39Forward(82)), 'P');
    EXPECT_EQ(FindCode39Forward(0), nullptr);  // the all-narrow pattern is no character
}

TEST(Code39Decoder, ReadsAFramedSymbolWithItsColumns) {
    Candidate c;
    auto elements = Code39Elements("*CODE-39*", kNarrow, kWide, kNarrow);
    auto line = LineFromElements(elements, 40);
    ASSERT_TRUE(DecodeCode39(line.View(), kT, false, context, c));
    EXPECT_EQ(Text(c), "*CODE-39*");
    EXPECT_EQ(c.start_column, 40);
    EXPECT_EQ(c.end_column, line.list[line.count - 1] - 1);  // last black column
}

TEST(Code39Decoder, ThresholdBelowTwoNeverReads) {
    Candidate c;
    auto elements = Code39Elements("*AB*", 1, 3, 1);
    EXPECT_FALSE(Read(elements, 1, c));
    EXPECT_FALSE(Read(elements, 0, c));
    EXPECT_FALSE(Read(elements, -3, c));
    EXPECT_TRUE(Read(elements, 2, c));
    EXPECT_EQ(Text(c), "*AB*");
}

TEST(Code39Decoder, ElementAboveTwiceThresholdResets) {
    Candidate c;
    // "A" = wnnnnwnnw: its first bar is wide.
    auto eight = Code39Elements("*A*", kNarrow, 8, kNarrow);
    EXPECT_TRUE(Read(eight, kT, c)) << "8 = 2T is a wide element";
    auto nine = eight;
    nine[10] = 9;  // first bar of "A"
    EXPECT_FALSE(Read(nine, kT, c)) << "9 > 2T resets the read";
}

TEST(Code39Decoder, BarExactlyThresholdIsWideFirstNarrowSecond) {
    Candidate c;
    auto elements = Code39Elements("*A*", kNarrow, kWide, kNarrow);
    // Narrow bar of "A" (element 2 of the character) exactly T: four wides in the first pass,
    // a valid pattern in the second.
    auto bar_at_t = elements;
    bar_at_t[12] = kT;
    EXPECT_TRUE(Read(bar_at_t, kT, c));
    EXPECT_EQ(Text(c), "*A*");
    // A narrow space exactly T is wide in both passes.
    auto space_at_t = elements;
    space_at_t[11] = kT;
    EXPECT_FALSE(Read(space_at_t, kT, c));
    // Wide elements exactly T are wide in the first pass.
    EXPECT_TRUE(Read(Code39Elements("*A*", kNarrow, kT, kNarrow), kT, c));
}

// Widens narrow elements of the last data character by one pixel each (they stay narrow).
std::vector<int> WidenLastData(std::vector<int> elements, int pixels) {
    // "*AB*": characters start at 0, 10, 20, 30 (nine elements and a gap each).
    int widened = 0;
    for (int i = 20; i < 29 && widened < pixels; ++i)
        if (elements[i] == kNarrow) elements[i] += 1, ++widened;
    return elements;
}

TEST(Code39Decoder, NeighbouringCharacterWidthsDifferByAtMostFour) {
    Candidate c;
    auto elements = Code39Elements("*AB*", kNarrow, kWide, kNarrow);
    EXPECT_TRUE(Read(WidenLastData(elements, 4), kT, c));
    EXPECT_EQ(Text(c), "*AB*");
    EXPECT_FALSE(Read(WidenLastData(elements, 5), kT, c));
}

TEST(Code39Decoder, GapUpToFourTPlusThree) {
    Candidate c;
    EXPECT_TRUE(Read(Code39Elements("*AB*", kNarrow, kWide, 4 * kT + 3), kT, c));
    EXPECT_FALSE(Read(Code39Elements("*AB*", kNarrow, kWide, 4 * kT + 4), kT, c));
}

TEST(Code39Decoder, StartFollowedByStopIsNoRead) {
    Candidate c;
    EXPECT_FALSE(Read(Code39Elements("**", kNarrow, kWide, kNarrow), kT, c));
    EXPECT_FALSE(Read(Code39Elements("AB", kNarrow, kWide, kNarrow), kT, c));
}

TEST(Code39Decoder, SymbolFromItsRightEndComesBackInReadingOrder) {
    Candidate c;
    auto line = LineFromElements(Reversed(Code39Elements("*XY7*", kNarrow, kWide, kNarrow)), 30);
    ASSERT_TRUE(DecodeCode39(line.View(), kT, false, context, c));
    EXPECT_EQ(static_cast<unsigned char>(c.text[0]), '*' | kReadBackwardsMark);
    EXPECT_EQ(std::string(c.text + 1), "XY7*");
    EXPECT_EQ(c.start_column, 30);
    EXPECT_EQ(c.end_column, line.list[line.count - 1] - 1);
}

TEST(Code39Decoder, FindsTheSymbolAfterNoiseOnTheLine) {
    Candidate c;
    std::vector<int> noise = {3, 2, 5, 1, 2, 4, 3};
    auto line = LineFromGroups({noise, Code39Elements("*HELLO*", kNarrow, kWide, kNarrow)}, 30, 30);
    ASSERT_TRUE(DecodeCode39(line.View(), kT, false, context, c));
    EXPECT_EQ(Text(c), "*HELLO*");
}

TEST(Code39Decoder, SinglePixelMergingJoinsASplitBar) {
    Candidate c;
    auto elements = Code39Elements("*A*", 3, 8, 3);
    // Split the first (wide) bar of "A" by a one-pixel white hole: 4 + 1 + 3.
    elements[10] = 4;
    elements.insert(elements.begin() + 11, {1, 3});
    EXPECT_FALSE(Read(elements, 6, c, false));
    ASSERT_TRUE(Read(elements, 6, c, true));
    EXPECT_EQ(Text(c), "*A*");
}

// Text-like elements (narrow at T = 4 and at T = 6, no character), `count` of them starting and
// ending with a bar; with `holes`, every tenth space is one pixel wide.
std::vector<int> Noise(int count, bool holes) {
    std::vector<int> elements(count, 3);
    if (holes)
        for (int i = 1; i < count; i += 20)
            elements[i] = 1;
    return elements;
}

// Splits the wide bar at `element` of the character at `character` by a one-pixel hole, as a
// scanner's speck does; only merging reads it again.
std::vector<int> SplitBar(std::vector<int> elements, int character, int element) {
    const size_t at = 10 * character + element;
    const int width = elements[at];
    elements[at] = width / 2;
    elements.insert(elements.begin() + at + 1, {1, width - width / 2 - 1});
    return elements;
}

// The decoders judge a line many elements at a time before decoding it, so a symbol must be
// found wherever it lies on a long line, in either reading direction, merged or not.
TEST(Code39Decoder, ReadsASymbolAtEveryPlaceOfALongLine) {
    const auto plain = Code39Elements("*AB1*", kNarrow, kWide, kNarrow);
    const auto split = SplitBar(Code39Elements("*AB1*", 3, 8, 3), 4, 4);  // in the stop
    for (int before = 1; before < 160; before += 2) {
        SCOPED_TRACE(before);
        auto line = LineFromGroups({Noise(before, false), plain, Noise(41, false)}, 30, 30);
        EXPECT_EQ(testing::ReadWith(&DecodeCode39, line, kT), "*AB1*");
        auto backward =
            LineFromGroups({Noise(before, false), Reversed(plain), Noise(41, false)}, 30, 30);
        EXPECT_EQ(testing::ReadWith(&DecodeCode39, backward, kT).substr(1), "AB1*");
        auto merged = LineFromGroups({Noise(before, true), split, Noise(41, true)}, 30, 30);
        EXPECT_EQ(testing::ReadWith(&DecodeCode39, merged, 6, false), "<none>");
        EXPECT_EQ(testing::ReadWith(&DecodeCode39, merged, 6, true), "*AB1*");
    }
}

TEST(Code39NudeDecoder, ReadsDataBetweenQuietZones) {
    Candidate c;
    auto line = LineFromElements(Code39Elements("AB12", kNarrow, kWide, kNarrow), 50);
    ASSERT_TRUE(DecodeCode39Nude(line.View(), kT, false, context, c));
    EXPECT_EQ(Text(c), "*AB12*");
    EXPECT_EQ(c.start_column, 50);
    EXPECT_EQ(c.end_column, line.list[line.count - 1] - 1);
    EXPECT_FALSE(DecodeCode39Nude(line.View(), 1, false, context, c));
}

// The quiet zone after a nude read may be the white run to the right edge; the read's columns
// stay those of the symbol wherever the decoder starts.
TEST(Code39NudeDecoder, ReadsDataEndingAtTheEdgeAtEveryPlaceOfALongLine) {
    const auto plain = Code39Elements("AB12", kNarrow, kWide, kNarrow);
    const auto split = SplitBar(Code39Elements("AB12", 3, 8, 3), 3, 2);  // in the last "2"
    for (int before = 1; before < 160; before += 2) {
        SCOPED_TRACE(before);
        auto line = LineFromGroups({Noise(before, false), plain}, 30, 30);
        Candidate c;
        EXPECT_EQ(testing::ReadWith(&DecodeCode39Nude, line, kT, false, &c), "*AB12*");
        // The symbol's first bar follows the noise's (before + 1) / 2 bars.
        EXPECT_EQ(c.start_column, line.list[2 + 2 * ((before + 1) / 2)]);
        EXPECT_EQ(c.end_column, line.list[line.count - 1] - 1);
        auto merged = LineFromGroups({Noise(before, true), split}, 30, 30);
        EXPECT_EQ(testing::ReadWith(&DecodeCode39Nude, merged, 6, true), "*AB12*");
    }
}

TEST(Code39NudeDecoder, SingleCharacterIsFramed) {
    Candidate c;
    auto line = LineFromGroups({Code39Elements("Q", kNarrow, kWide, kNarrow), {2, 30, 2}}, 40, 40);
    ASSERT_TRUE(DecodeCode39Nude(line.View(), kT, false, context, c));
    EXPECT_EQ(Text(c), "*Q*");
}

TEST(Code39NudeDecoder, StandardSymbolKeepsItsAsterisksAsData) {
    Candidate c;
    auto line = LineFromElements(Code39Elements("*AB*", kNarrow, kWide, kNarrow));
    ASSERT_TRUE(DecodeCode39Nude(line.View(), kT, false, context, c));
    EXPECT_EQ(Text(c), "**AB**");
}

TEST(Code39NudeDecoder, CharacterWidthsDifferByLessThanFive) {
    Candidate c;
    // "ABC" has the same layout as "*AB*" without its last character: C starts at element 20.
    auto elements = Code39Elements("ABC", kNarrow, kWide, kNarrow);
    auto four = LineFromElements(WidenLastData(elements, 4));
    ASSERT_TRUE(DecodeCode39Nude(four.View(), kT, false, context, c));
    EXPECT_EQ(Text(c), "*ABC*");
    // Five pixels wider: the text restarts, and the next group begins right after "C".
    auto five = LineFromElements(WidenLastData(elements, 5));
    EXPECT_FALSE(DecodeCode39Nude(five.View(), kT, false, context, c));
}

}  // namespace
}  // namespace pixdoc::barcode
