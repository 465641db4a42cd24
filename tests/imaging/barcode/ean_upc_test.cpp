#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/barcode/ean_upc.h"
#include "tests/imaging/barcode/bar_lines.h"
#include "tests/imaging/barcode/zint_symbols.h"

namespace pixdoc::barcode {
namespace {

using testing::BarLine;
using testing::ElementsFromModules;
using testing::InkSpread;
using testing::LineFromElements;
using testing::LineFromGroups;
using testing::MarkedBackwards;
using testing::ReadWith;
using testing::Reversed;
using testing::SymbolElements;
using testing::SymbolModules;
using testing::ZintRead;

constexpr int kModules = 7;
constexpr int kLead = 40;

class EanZint : public ::testing::TestWithParam<ZintRead> {};

TEST_P(EanZint, ReadsAtEveryScaleUprightAndUpsideDown) {
    const ZintRead& c = GetParam();
    const std::string expected = c.text;
    const bool readable = expected != "<none>";
    for (int scale = 1; scale <= 4; ++scale) {
        const std::vector<int> elements = SymbolElements(c.name, scale);
        const BarLine upright = LineFromElements(elements, kLead, kLead);
        Candidate out;
        EXPECT_EQ(ReadWith(c.decode, upright, kModules * scale, false, &out), expected)
            << "scale " << scale;
        const BarLine mirrored = LineFromElements(Reversed(elements), kLead, kLead);
        if (!readable) {
            EXPECT_EQ(ReadWith(c.decode, mirrored, kModules * scale), expected)
                << "scale " << scale;
            continue;
        }
        EXPECT_EQ(out.start_column, kLead);
        EXPECT_EQ(out.end_column, upright.right_edge - kLead);  // after the end guard
        EXPECT_EQ(ReadWith(c.decode, mirrored, kModules * scale), MarkedBackwards(expected))
            << "mirrored, scale " << scale;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Symbols, EanZint,
    ::testing::Values(ZintRead{"ean13_0", &DecodeEan13, "ean13_0", "*0123456789050*"},
                      ZintRead{"ean13_1", &DecodeEan13, "ean13_1", "*1234567890128*"},
                      ZintRead{"ean13_2", &DecodeEan13, "ean13_2", "*2345678901234*"},
                      ZintRead{"ean13_3", &DecodeEan13, "ean13_3", "*3456789012340*"},
                      ZintRead{"ean13_4", &DecodeEan13, "ean13_4", "*4567890123456*"},
                      ZintRead{"ean13_5", &DecodeEan13, "ean13_5", "*5678901234562*"},
                      ZintRead{"ean13_6", &DecodeEan13, "ean13_6", "*6789012345678*"},
                      ZintRead{"ean13_7", &DecodeEan13, "ean13_7", "*7890123456784*"},
                      ZintRead{"ean13_8", &DecodeEan13, "ean13_8", "*8901234567890*"},
                      ZintRead{"ean13_9", &DecodeEan13, "ean13_9", "*9012345678906*"},
                      ZintRead{"upca", &DecodeUpcA, "upca_as_upca", "*012345678905*"},
                      ZintRead{"upca_2", &DecodeUpcA, "upca_2_as_upca", "*725272730706*"},
                      ZintRead{"upca", &DecodeEan13, "upca_as_ean13", "*0012345678905*"},
                      ZintRead{"upca_2", &DecodeEan13, "upca_2_as_ean13", "*0725272730706*"},
                      ZintRead{"ean8", &DecodeEan8, "ean8", "*12345670*"},
                      ZintRead{"ean8_2", &DecodeEan8, "ean8_2", "*96385074*"},
                      // Symbols of another length or parity are not taken for one's own.
                      ZintRead{"ean13_1", &DecodeUpcA, "ean13_as_upca", "<none>"},
                      ZintRead{"ean8", &DecodeEan13, "ean8_as_ean13", "<none>"},
                      ZintRead{"ean13_5", &DecodeEan8, "ean13_as_ean8", "<none>"}),
    [](const auto& info) { return std::string(info.param.label); });

// A UPC-A symbol is an EAN-13 symbol with the leading digit 0 (all L digits).
TEST(EanUpc, EanThirteenWithLeadingZeroReadsAsUpcA) {
    const BarLine line = LineFromElements(SymbolElements("ean13_0", 2), kLead, kLead);
    EXPECT_EQ(ReadWith(&DecodeUpcA, line, 14), "*123456789050*");
}

// The formats are tried in turn on one line, as the per-line step does: a failed UPC-A or EAN-13
// walk must not stand in for a later format whose walk parts from it.
TEST(EanUpc, FormatsTriedInTurnEachReadTheirOwnSymbol) {
    DecodeContext context;
    for (bool merge : {false, true}) {
        const BarLine ean13 = LineFromElements(SymbolElements("ean13_1", 2), kLead, kLead);
        Candidate out;
        EXPECT_FALSE(DecodeUpcA(ean13.View(), 14, merge, context, out));  // G digits part them
        ASSERT_TRUE(DecodeEan13(ean13.View(), 14, merge, context, out));
        EXPECT_STREQ(out.text, "*1234567890128*");

        const BarLine ean8 = LineFromElements(SymbolElements("ean8", 2), kLead, kLead);
        EXPECT_FALSE(DecodeUpcA(ean8.View(), 14, merge, context, out));
        EXPECT_FALSE(DecodeEan13(ean8.View(), 14, merge, context, out));  // four digits part them
        ASSERT_TRUE(DecodeEan8(ean8.View(), 14, merge, context, out));
        EXPECT_STREQ(out.text, "*12345670*");
    }
}

// A failed walk answers only for the same entries: a new line in the same buffer is read.
TEST(EanUpc, FailedWalkAnswersOnlyForTheSameEntries) {
    DecodeContext context;
    const BarLine ean8 = LineFromElements(SymbolElements("ean8", 2), kLead, kLead);
    BarLine line = ean8;
    for (size_t i = 2; i < static_cast<size_t>(line.count); ++i)
        line.list[i] = static_cast<int16_t>(kLead + 2 * static_cast<int>(i));  // narrow noise
    Candidate out;
    EXPECT_FALSE(DecodeUpcA(line.View(), 14, false, context, out));
    EXPECT_FALSE(DecodeEan8(line.View(), 14, false, context, out));
    line.list = ean8.list;  // same size: the buffer stays where it was
    ASSERT_TRUE(DecodeEan8(line.View(), 14, false, context, out));
    EXPECT_STREQ(out.text, "*12345670*");
}

// Two left-half digits exchanged: the check digit no longer fits (their weights differ).
TEST(EanUpc, WrongCheckDigitIsRefused) {
    for (const char* name : {"ean13_1", "upca", "ean8"}) {
        std::vector<bool> modules = SymbolModules(name);
        const int first = 3 + 7;  // digits 2 and 3 of the left half (after the 3-module guard)
        for (int i = 0; i < 7; ++i) {
            const bool m = modules[first + i];
            modules[first + i] = modules[first + 7 + i];
            modules[first + 7 + i] = m;
        }
        const BarLine line = LineFromElements(ElementsFromModules(modules, 2), kLead, kLead);
        EXPECT_EQ(ReadWith(&DecodeEan13, line, 14), "<none>") << name;
        EXPECT_EQ(ReadWith(&DecodeUpcA, line, 14), "<none>") << name;
        EXPECT_EQ(ReadWith(&DecodeEan8, line, 14), "<none>") << name;
    }
}

TEST(EanUpc, ThresholdBelowSevenNeverReads) {
    const BarLine line = LineFromElements(SymbolElements("ean8", 1), kLead, kLead);
    EXPECT_EQ(ReadWith(&DecodeEan8, line, 7), "*12345670*");
    EXPECT_EQ(ReadWith(&DecodeEan8, line, 6), "<none>");
}

TEST(EanUpc, WhiteOfTwoModulesBeforeTheStartGuardResetsTheSearch) {
    // A stray one-module bar two modules ahead of the start guard is forgotten.
    const std::vector<int> symbol = SymbolElements("ean13_3", 3);
    const BarLine line = LineFromGroups({{3}, symbol}, 6, kLead);
    EXPECT_EQ(ReadWith(&DecodeEan13, line, 21), "*3456789012340*");
}

// One symbol of each format, for the tests of where the walk may start and what it merges.
struct FormatCase {
    const char* name;
    DecodeFn decode;
    const char* text;
};
const FormatCase kFormatCases[] = {{"ean13_4", &DecodeEan13, "*4567890123456*"},
                                   {"upca", &DecodeUpcA, "*012345678905*"},
                                   {"ean8", &DecodeEan8, "*12345670*"}};

// Lines without room for a read are refused before the walk, by jumping past wide elements: a
// symbol between text-like strokes (wide and narrow elements) is still read from the first bar.
TEST(EanUpc, SymbolBetweenStrokesIsReadFromTheLinesFirstBar) {
    const std::vector<int> strokes = {3, 5, 4, 20, 4, 6, 3, 30, 5, 3, 6, 12, 3};
    for (const FormatCase& c : kFormatCases) {
        const BarLine line = LineFromGroups({strokes, SymbolElements(c.name, 2), strokes}, 5, 5);
        for (bool merge : {false, true}) {
            EXPECT_EQ(ReadWith(c.decode, line, 14, merge), c.text) << c.name << " merge " << merge;
        }
    }
}

// A one-pixel white speck inside a two-module bar splits it in three elements: only the merging
// walk puts the bar together again.
TEST(EanUpc, SpeckInABarIsReadOnlyWithMerging) {
    for (const FormatCase& c : kFormatCases) {
        std::vector<int> e = SymbolElements(c.name, 3);
        size_t bar = 4;  // the first bar of a digit (bars are the even elements)
        while (e[bar] < 6)
            bar += 2;
        const int width = e[bar];
        e[bar] = 2;
        e.insert(e.begin() + static_cast<std::ptrdiff_t>(bar) + 1, {1, width - 3});
        const BarLine line = LineFromElements(e, kLead, kLead);
        EXPECT_EQ(ReadWith(c.decode, line, 21, false), "<none>") << c.name;
        EXPECT_EQ(ReadWith(c.decode, line, 21, true), c.text) << c.name;
    }
}

TEST(EanUpc, InkSpreadIsCorrectedAtThreePixelsPerModule) {
    // Every bar one pixel thicker and every space one thinner; T = 21: boundaries 3, 6, 9, 12, 15.
    const std::vector<int> e = InkSpread(SymbolElements("ean13_7", 3));
    EXPECT_EQ(ReadWith(&DecodeEan13, LineFromElements(e, kLead, kLead), 21), "*7890123456784*");
}

}  // namespace
}  // namespace pixdoc::barcode
