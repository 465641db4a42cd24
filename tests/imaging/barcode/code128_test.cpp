#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/barcode/code128.h"
#include "tests/imaging/barcode/bar_lines.h"
#include "tests/imaging/barcode/zint_symbols.h"

namespace pixdoc::barcode {
namespace {

using testing::BarLine;
using testing::ElementsFromModules;
using testing::InkSpread;
using testing::LineFromElements;
using testing::Reversed;
using testing::SymbolElements;
using testing::SymbolModules;

constexpr int kModules = 11;
constexpr int kLead = 40;

std::string Read(const BarLine& line, int threshold, Candidate* candidate = nullptr,
                 const DecoderOptions& options = {}) {
    return testing::ReadWith(&DecodeCode128, line, threshold, false, candidate, options);
}

class Code128Test : public ::testing::Test {};

struct ZintCase {
    const char* name;
    std::string data;
};

class Code128Zint : public ::testing::TestWithParam<ZintCase> {};

// Upright symbols are read left to right; mirrored ones (printed upside down) by the backward
// read, in reading order, without a mark in the text.
TEST_P(Code128Zint, ReadsAtEveryScaleUprightAndUpsideDown) {
    const ZintCase& c = GetParam();
    for (int scale = 1; scale <= 4; ++scale) {
        const std::vector<int> elements = SymbolElements(c.name, scale);
        const BarLine upright = LineFromElements(elements, kLead, kLead);
        const int symbol_end = upright.right_edge - kLead;
        Candidate out;
        EXPECT_EQ(Read(upright, kModules * scale, &out), c.data) << "scale " << scale;
        EXPECT_EQ(out.start_column, kLead);
        EXPECT_EQ(out.end_column, symbol_end - 2 * scale);  // before the stop's last bar

        const BarLine mirrored = LineFromElements(Reversed(elements), kLead, kLead);
        EXPECT_EQ(Read(mirrored, kModules * scale, &out), c.data) << "mirrored, scale " << scale;
        EXPECT_EQ(out.start_column, kLead + 2 * scale);
        EXPECT_EQ(out.end_column, symbol_end);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Symbols, Code128Zint,
    ::testing::Values(ZintCase{"c128_b", "Hello World"}, ZintCase{"c128_c", "1234567890"},
                      ZintCase{"c128_a", "ABC\tDEF\n"},
                      ZintCase{"c128_mixed", "Code 128 1234567890 set changes"},
                      ZintCase{"c128_shift", "AB\tc\tD"},
                      ZintCase{"c128_long", "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"},
                      ZintCase{"gs1_128",
                               "\x83"
                               "10ABC123\x83"
                               "0112345678901231"}),
    [](const auto& info) { return std::string(info.param.name); });

// The modules of a symbol with two data characters exchanged: the check character no longer
// fits, since each position has its own weight.
std::vector<bool> SwapCharacters(std::vector<bool> modules, int first, int second) {
    for (int i = 0; i < kModules; ++i) {
        const bool m = modules[first * kModules + i];
        modules[first * kModules + i] = modules[second * kModules + i];
        modules[second * kModules + i] = m;
    }
    return modules;
}

TEST_F(Code128Test, WrongCheckCharacterIsRefusedUnlessTheOptionIsSet) {
    const std::vector<bool> swapped = SwapCharacters(SymbolModules("c128_b"), 1, 2);
    const BarLine line = LineFromElements(ElementsFromModules(swapped, 2), kLead, kLead);
    EXPECT_EQ(Read(line, 22), "<none>");
    DecoderOptions no_checksum;
    no_checksum.code128_no_checksum = true;
    // The check character of "Hello World" (value 43: set B "K") becomes data.
    EXPECT_EQ(Read(line, 22, nullptr, no_checksum), "eHllo WorldK");
    // With the option, the check character of a good symbol is read as data too.
    EXPECT_EQ(
        Read(LineFromElements(SymbolElements("c128_b", 2), kLead, kLead), 22, nullptr, no_checksum),
        "Hello WorldK");
}

TEST_F(Code128Test, ThresholdBelowElevenNeverReads) {
    const BarLine line = LineFromElements(SymbolElements("c128_c", 1), kLead, kLead);
    EXPECT_EQ(Read(line, 11), "1234567890");
    EXPECT_EQ(Read(line, 10), "<none>");
    EXPECT_EQ(Read(line, 0), "<none>");
}

TEST_F(Code128Test, StartFollowedDirectlyByStopIsNotARead) {
    const std::vector<int> start_b = {2, 1, 1, 2, 1, 4};
    const std::vector<int> stop = {2, 3, 3, 1, 1, 1, 2};
    std::vector<int> e = start_b;
    e.insert(e.end(), stop.begin(), stop.end());
    EXPECT_EQ(Read(LineFromElements(e, 20, 20), 11), "<none>");
}

TEST_F(Code128Test, InkSpreadIsCorrectedAtThreePixelsPerModule) {
    // T = 33: boundaries 3, 6, 9, 12, 15. Thicken every bar by one pixel and thin every space by
    // one: bars of 2 modules become 7 pixels (still 2), spaces of 2 modules 5 pixels (counted
    // 1, corrected back to 2 because 5 = B_2 - 1).
    const std::vector<int> e = InkSpread(SymbolElements("c128_c", 3));
    EXPECT_EQ(Read(LineFromElements(e, kLead, kLead), 33), "1234567890");
}

TEST_F(Code128Test, SinglePixelSpeckIsMergedOnlyWithTheSwitch) {
    // The first bar of the start character (2 modules, 6 pixels) split by a white speck.
    std::vector<int> e = SymbolElements("c128_b", 3);
    ASSERT_EQ(e[0], 6);
    e.erase(e.begin());
    e.insert(e.begin(), {2, 1, 3});
    const BarLine line = LineFromElements(e, kLead, kLead);
    Candidate out;
    DecodeContext context;
    EXPECT_FALSE(DecodeCode128(line.View(), 33, false, context, out));
    ASSERT_TRUE(DecodeCode128(line.View(), 33, true, context, out));
    EXPECT_STREQ(out.text, "Hello World");
}

TEST_F(Code128Test, QuietZoneNoiseBeforeTheSymbolIsSkipped) {
    std::vector<int> e = {3, 2, 9, 4, 3};
    e.push_back(40);
    const std::vector<int> symbol = SymbolElements("c128_b", 2);
    e.insert(e.end(), symbol.begin(), symbol.end());
    EXPECT_EQ(Read(LineFromElements(e, kLead, kLead), 22), "Hello World");
}

}  // namespace
}  // namespace pixdoc::barcode
