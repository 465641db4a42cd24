#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/barcode/code93.h"
#include "tests/imaging/barcode/bar_lines.h"
#include "tests/imaging/barcode/zint_symbols.h"

namespace pixdoc::barcode {
namespace {

using testing::BarLine;
using testing::ElementsFromModules;
using testing::InkSpread;
using testing::LineFromElements;
using testing::ReadWith;
using testing::Reversed;
using testing::SymbolElements;
using testing::SymbolModules;
using testing::ZintRead;

constexpr int kModules = 9;
constexpr int kLead = 40;

class Code93Zint : public ::testing::TestWithParam<ZintRead> {};

// zint computes the check characters with the standard shift values: such symbols are read by
// the type 2 decoder, and by the other one only when they hold no (%), (/) or (+).
TEST_P(Code93Zint, ReadsAtEveryScaleUprightAndUpsideDown) {
    const ZintRead& c = GetParam();
    const std::string expected = c.text;
    for (int scale = 1; scale <= 4; ++scale) {
        const std::vector<int> elements = SymbolElements(c.name, scale);
        const BarLine upright = LineFromElements(elements, kLead, kLead);
        Candidate out;
        EXPECT_EQ(ReadWith(c.decode, upright, kModules * scale, false, &out), expected)
            << "scale " << scale;
        const BarLine mirrored = LineFromElements(Reversed(elements), kLead, kLead);
        Candidate back;
        EXPECT_EQ(ReadWith(c.decode, mirrored, kModules * scale, false, &back), expected)
            << "mirrored, scale " << scale;
        if (expected == "<none>") continue;
        const int symbol_end = upright.right_edge - kLead;
        EXPECT_EQ(out.start_column, kLead);
        EXPECT_EQ(out.end_column, symbol_end - scale);  // before the termination bar
        EXPECT_EQ(back.start_column, kLead + scale);
        EXPECT_EQ(back.end_column, symbol_end);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Symbols, Code93Zint,
    ::testing::Values(ZintRead{"c93_plain", &DecodeCode93Type2, "plain_type2", "*CODE 93-$/+%.*"},
                      ZintRead{"c93_plain", &DecodeCode93, "plain", "*CODE 93-$/+%.*"},
                      ZintRead{"c93_ascii", &DecodeCode93Type2, "ascii_type2", "*Hello, world!*"},
                      ZintRead{"c93_ascii", &DecodeCode93, "ascii", "<none>"},
                      ZintRead{"c93_control", &DecodeCode93Type2, "control_type2", "*a\rb\tc@[~*"},
                      ZintRead{"c93_control", &DecodeCode93, "control", "<none>"},
                      ZintRead{"c93_long", &DecodeCode93Type2, "long_type2",
                               "*ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789*"},
                      ZintRead{"c93_long", &DecodeCode93, "long",
                               "*ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789*"},
                      ZintRead{"c93_one", &DecodeCode93Type2, "one_type2", "*X*"}),
    [](const auto& info) { return std::string(info.param.label); });

// Tried in turn on one line, as the per-line step does: the first type's failed check must not
// stand in for the second's, upright (forward walk) or upside down (backward walk).
TEST(Code93, TypesTriedInTurnEachCheckTheirOwnNumbering) {
    DecodeContext context;
    const std::vector<int> elements = SymbolElements("c93_ascii", 2);
    const std::string text = "*Hello, world!*";
    for (const BarLine& line : {LineFromElements(elements, kLead, kLead),
                                LineFromElements(Reversed(elements), kLead, kLead)}) {
        for (bool merge : {false, true}) {
            Candidate out;
            EXPECT_FALSE(DecodeCode93(line.View(), 18, merge, context, out));
            ASSERT_TRUE(DecodeCode93Type2(line.View(), 18, merge, context, out));
            EXPECT_EQ(out.text, text) << merge;
        }
    }
}

// Two data characters exchanged: C (and K) no longer fit, since their weights differ.
TEST(Code93, WrongCheckCharactersAreRefused) {
    std::vector<bool> modules = SymbolModules("c93_long");
    const int first = kModules;  // the first data character, after the start
    for (int i = 0; i < kModules; ++i) {
        const bool m = modules[first + i];
        modules[first + i] = modules[first + kModules + i];
        modules[first + kModules + i] = m;
    }
    const BarLine line = LineFromElements(ElementsFromModules(modules, 2), kLead, kLead);
    EXPECT_EQ(ReadWith(&DecodeCode93Type2, line, 18), "<none>");
    EXPECT_EQ(ReadWith(&DecodeCode93, line, 18), "<none>");
}

TEST(Code93, ThresholdBelowNineNeverReads) {
    const BarLine line = LineFromElements(SymbolElements("c93_one", 1), kLead, kLead);
    EXPECT_EQ(ReadWith(&DecodeCode93Type2, line, 9), "*X*");
    EXPECT_EQ(ReadWith(&DecodeCode93Type2, line, 8), "<none>");
}

TEST(Code93, InkSpreadIsCorrectedAtThreePixelsPerModule) {
    // T = 27: boundaries 3, 6, 9, 12, 15; bars one pixel thicker, spaces one thinner.
    const std::vector<int> e = InkSpread(SymbolElements("c93_control", 3));
    EXPECT_EQ(ReadWith(&DecodeCode93Type2, LineFromElements(e, kLead, kLead), 27), "*a\rb\tc@[~*");
}

}  // namespace
}  // namespace pixdoc::barcode
