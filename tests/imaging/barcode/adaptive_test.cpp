// The adaptive search's pieces: the scale read from a symbol's start pattern, the validation of
// reads, one read per symbol, the grey threshold from the page, and the line scan that joins
// them, on real zint symbols and hand-made lines.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "imaging/barcode/line_scan.h"
#include "imaging/barcode/page_grey_threshold.h"
#include "imaging/barcode/read_validation.h"
#include "imaging/barcode/symbol_reads.h"
#include "imaging/barcode/symbol_scale.h"
#include "tests/imaging/barcode/bar_lines.h"
#include "tests/imaging/barcode/zint_symbols.h"

namespace pixdoc::barcode {
namespace {

using testing::BarLine;
using testing::Code39Elements;
using testing::InkSpread;
using testing::LineFromElements;
using testing::LineFromGroups;
using testing::Reversed;
using testing::SymbolElements;

// The reader control's arguments: thresholds left to the defaults at 200 dpi, span 4.
struct Scan {
    StepSettings settings;
    FilterSettings filter_settings;
    char buffer[2048] = {};
    BarcodeStatus status;
    DecodeContext context;

    Scan(uint16_t mask, bool adaptive) {
        settings.mask = mask;
        settings.thresholds.first = 4;
        settings.thresholds.code128_93 = 30;
        settings.thresholds.upc_ean = 18;
        settings.thresholds.span = 4;
        settings.adaptive = adaptive;
        filter_settings.min_length = 0;
        filter_settings.max_results = 32;
    }

    // The same line on `lines` lines that the adaptive mode searches.
    std::string Run(const BarLine& line, int lines = 1) {
        ResultFilter filter(buffer, sizeof buffer, filter_settings);
        LineScanner scanner(settings, context, filter, status, filter_settings.max_results);
        for (int n = 1; n <= lines; ++n)
            scanner.ScanLine(line.list.data(), line.count, line.right_edge, n * kAdaptiveLineStep);
        return buffer;
    }
};

constexpr uint16_t kAllSymbologies = 2047;

std::vector<int> Scaled(const std::string& name, int scale) {
    return SymbolElements(name, scale);
}

TEST(SymbolScale, ModuleSymbologiesMeasureTheirModuleFromEitherEnd) {
    struct Case {
        const char* name;
        Symbology symbology;
        int character;
    };
    for (const Case& c : {Case{"c128_b", kCode128, 11}, Case{"c93_plain", kCode93, 9},
                          Case{"ean13_5", kEan13, 7}, Case{"ean8", kEan8, 7}}) {
        for (int scale = 1; scale <= 4; ++scale) {
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(scale));
            for (const auto& elements : {Scaled(c.name, scale), Reversed(Scaled(c.name, scale))}) {
                SymbolScale s;
                ASSERT_TRUE(EstimateScale(c.symbology, elements, s));
                EXPECT_DOUBLE_EQ(s.module, scale);
                // The nominal character width, and at most one a little under it.
                EXPECT_GE(s.thresholds[0], c.character);
                EXPECT_TRUE(s.thresholds[0] == c.character * scale ||
                            s.thresholds[1] == c.character * scale);
                EXPECT_LE(s.thresholds[0], c.character * scale);
            }
        }
    }
}

TEST(SymbolScale, TwoWidthThresholdLiesBetweenNarrowAndWide) {
    SymbolScale s;
    ASSERT_TRUE(EstimateScale(kCode39, Code39Elements("*", 2, 6, 2), s));
    EXPECT_DOUBLE_EQ(s.module, 2);
    EXPECT_GT(s.thresholds[0], 2);
    EXPECT_LE(s.thresholds[0], 6);
    // Ink spread: narrow bars as wide as wide spaces; the bars alone still split.
    ASSERT_TRUE(EstimateScale(kCode39, InkSpread(InkSpread(Code39Elements("*", 3, 7, 3))), s));
    bool bars_split = false;
    for (int t : s.thresholds)
        bars_split = bars_split || (t > 5 && t <= 9);
    EXPECT_TRUE(bars_split);
    // One width only, or too few elements, is no scale.
    EXPECT_FALSE(EstimateScale(kCode39, std::vector<int>(9, 3), s));
    EXPECT_FALSE(EstimateScale(kCode128, std::vector<int>{2, 1, 1}, s));
    EXPECT_FALSE(EstimateScale(kCode128, std::vector<int>{2, 1, 0, 2, 3, 2}, s));
}

// The floor and the module alone let the search refuse a candidate before the whole scale: the
// floor must never lie above the module the estimate gives, and the module alone must be that
// module, or symbols with a just-wide-enough quiet zone would be lost.
TEST(SymbolScale, ModuleFloorAndModuleAgreeWithTheWholeScale) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> width(1, 12);
    int estimated = 0;
    for (Symbology symbology : {kCode39, kCode39Nude, kInterleaved2of5, kCodabar, kCode128, kCode93,
                                kCode93Type2, kUpcA, kEan13, kEan8, kIata2of5}) {
        for (int trial = 0; trial < 2000; ++trial) {
            std::vector<int> widths(16);
            for (int& w : widths)
                w = width(random);
            if (trial % 4 == 0) widths[trial % 9] = 0;  // no element: no scale
            SymbolScale s;
            double module = 0;
            // The module alone succeeds exactly where the whole scale does.
            ASSERT_EQ(EstimateModule(symbology, widths, module),
                      EstimateScale(symbology, widths, s));
            if (!EstimateScale(symbology, widths, s)) continue;
            ++estimated;
            ASSERT_LE(ModuleFloor(symbology, widths), s.module) << symbology;
            ASSERT_GT(ModuleFloor(symbology, widths), 0) << symbology;
            ASSERT_EQ(module, s.module) << symbology;
        }
    }
    EXPECT_GT(estimated, 8000);
    EXPECT_EQ(ModuleFloor(kCode39, std::vector<int>{2, 6}), 0);  // too few elements
}

StepRead ReadOn(const BarLine& line, uint16_t mask) {
    Scan scan(mask, false);
    StepRead read;
    EXPECT_TRUE(StepLine(scan.settings, scan.context, line.View(), read));
    return read;
}

TEST(ReadValidation, NeedsQuietZonesOnBothSides) {
    const auto symbol = Code39Elements("*AB*", 2, 6, 2);
    const BarLine clear = LineFromElements(symbol, 40, 40);
    EXPECT_TRUE(ValidRead({clear.list.data(), clear.count, clear.right_edge}, ReadOn(clear, 1)));

    // Text two pixels after the stop character: the read is part of something else.
    const BarLine crowded_right = LineFromGroups({symbol, {3, 2, 3}}, 40, 40);
    StepRead read = ReadOn(LineFromElements(symbol, 40, 40), 1);
    BarLine joined = LineFromElements(symbol, 40, 2);
    joined.list.resize(joined.count);
    joined.list.insert(joined.list.end(), {static_cast<int16_t>(joined.right_edge),
                                           static_cast<int16_t>(joined.right_edge + 3)});
    joined.count += 2;
    joined.right_edge += 40;
    joined.list.insert(joined.list.end(), 4, static_cast<int16_t>(joined.right_edge));
    EXPECT_FALSE(ValidRead({joined.list.data(), joined.count, joined.right_edge}, read));
    EXPECT_TRUE(ValidRead(
        {crowded_right.list.data(), crowded_right.count, crowded_right.right_edge}, read));

    // The white before the first bar is the line's start: too short is refused as well.
    const BarLine at_start = LineFromElements(symbol, 6, 40);
    EXPECT_FALSE(ValidRead({at_start.list.data(), at_start.count, at_start.right_edge},
                           ReadOn(at_start, 1)));
}

TEST(ReadValidation, NeedsOneScaleAcrossTheSymbol) {
    // The stop character at twice the scale of the start: still read by the decoder at a
    // threshold between, refused here.
    auto mixed = Code39Elements("*AB", 2, 6, 2);
    mixed.push_back(4);
    for (int w : Code39Elements("*", 4, 12, 4))
        mixed.push_back(w);
    const BarLine line = LineFromElements(mixed, 80, 80);
    Scan scan(kCode39, false);
    StepRead read;
    if (StepLine(scan.settings, scan.context, line.View(), read))
        EXPECT_FALSE(ValidRead({line.list.data(), line.count, line.right_edge}, read));
}

Candidate At(const char* text, int start, int end) {
    Candidate c;
    std::snprintf(c.text, sizeof c.text, "%s", text);
    c.start_column = start;
    c.end_column = end;
    return c;
}

StepRead Read(const char* text, int start, int end, Symbology symbology) {
    StepRead r;
    r.candidate = At(text, start, end);
    r.symbology = symbology;
    return r;
}

TEST(SymbolReads, OneReadPerSymbolHoweverTall) {
    SymbolReads reads;
    StepRead given;
    int line = 0;
    EXPECT_TRUE(reads.Admit(Read("*ABC*", 100, 300, kCode128), 10, given, line));
    EXPECT_EQ(line, 10);
    int again = 0;
    // 200 lines of the same symbol, drifting right as a skewed one does.
    for (int n = 11; n < 211; ++n)
        again += reads.Admit(Read("*ABC*", 100 + n / 10, 300 + n / 10, kCode128), n, given, line);
    EXPECT_EQ(again, 0);
    // The same text in other columns, or after a long gap, is another symbol.
    EXPECT_TRUE(reads.Admit(Read("*ABC*", 500, 700, kCode128), 211, given, line));
    EXPECT_TRUE(
        reads.Admit(Read("*ABC*", 120, 320, kCode128), 211 + kSymbolGapLines + 1, given, line));
    // A different text at the same place is another symbol.
    EXPECT_TRUE(reads.Admit(Read("*XYZ*", 120, 320, kCode128), 300, given, line));
}

TEST(SymbolReads, SymbologiesWithoutCheckCharacterWaitForASecondLine) {
    for (Symbology s : {kCode39, kCode39Nude, kInterleaved2of5, kCodabar, kIata2of5}) {
        SymbolReads reads;
        StepRead given;
        int line = 0;
        EXPECT_FALSE(reads.Admit(Read("*12*", 10, 90, s), 5, given, line));
        // The same line again (another threshold) is no second line.
        EXPECT_FALSE(reads.Admit(Read("*12*", 10, 90, s), 5, given, line));
        // A disagreeing read does not confirm.
        EXPECT_FALSE(reads.Admit(Read("*13*", 10, 90, s), 6, given, line));
        EXPECT_TRUE(reads.Admit(Read("*12*", 11, 91, s), 7, given, line));
        EXPECT_EQ(line, 5);
        EXPECT_EQ(given.candidate.start_column, 10);
        EXPECT_FALSE(reads.Admit(Read("*12*", 11, 91, s), 8, given, line));
    }
    SymbolReads reads;
    StepRead given;
    int line = 0;
    EXPECT_FALSE(reads.Admit(Read("*12*", 10, 90, kCodabar), 5, given, line));
    EXPECT_FALSE(reads.Admit(Read("*12*", 10, 90, kCodabar), 5 + kConfirmLines + 1, given, line));
}

// Code 128 at 2 and 4 pixels, Code 93 at 2 per module and EAN at 1: the defaults at 200 dpi do
// not fit them, the symbol's own scale does. Upright and upside down.
TEST(AdaptiveScan, ReadsWhatTheDefaultThresholdsMiss) {
    struct Case {
        const char* name;
        int scale;
        const char* text;
    };
    for (const Case& c : {Case{"c128_b", 2, "*Hello World*"}, Case{"c128_b", 4, "*Hello World*"},
                          Case{"c93_long", 2, "*ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789*"},
                          Case{"ean13_5", 1, "*5678901234562*"}}) {
        SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(c.scale));
        for (bool upside_down : {false, true}) {
            auto elements = Scaled(c.name, c.scale);
            if (upside_down) elements = Reversed(elements);
            const BarLine line = LineFromElements(elements, 15 * c.scale, 15 * c.scale);
            Scan off(kAllSymbologies, false);
            EXPECT_EQ(off.Run(line, 4).find(c.text), std::string::npos);
            Scan on(kAllSymbologies, true);
            std::string text = on.Run(line, 4);
            // The read-backwards mark stays until the search ends.
            if (upside_down && !text.empty()) text[0] = static_cast<char>(text[0] & 0x7f);
            EXPECT_EQ(text, c.text);
        }
    }
}

TEST(AdaptiveScan, OneReadPerSymbolAndSeveralSymbolsPerLine) {
    const auto a = Scaled("c128_b", 3);
    const auto b = Scaled("c128_c", 2);
    const BarLine line = LineFromGroups({a, b}, 40, 40);
    Scan on(kAllSymbologies, true);
    on.filter_settings.insert_data = true;
    on.filter_settings.zone_height = 0;
    const std::string text = on.Run(line, 60);
    EXPECT_EQ(text.find("*Hello World*<"), 0u) << text;
    EXPECT_NE(text.find("*1234567890*<"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '<'), 2) << text;
}

TEST(AdaptiveScan, SearchesOneLineInFour) {
    const BarLine line = LineFromElements(Scaled("c128_b", 3), 40, 40);
    Scan on(kAllSymbologies, true);
    ResultFilter filter(on.buffer, sizeof on.buffer, on.filter_settings);
    LineScanner scanner(on.settings, on.context, filter, on.status, 8);
    for (int n = 1; n < kAdaptiveLineStep; ++n) {
        EXPECT_FALSE(scanner.Searches(n));
        scanner.ScanLine(line.list.data(), line.count, line.right_edge, n);
    }
    EXPECT_STREQ(on.buffer, "");
    EXPECT_TRUE(scanner.Searches(kAdaptiveLineStep));
    scanner.ScanLine(line.list.data(), line.count, line.right_edge, kAdaptiveLineStep);
    EXPECT_STREQ(on.buffer, "*Hello World*");
    // The described search searches every line.
    Scan off(kAllSymbologies, false);
    ResultFilter off_filter(off.buffer, sizeof off.buffer, off.filter_settings);
    EXPECT_TRUE(LineScanner(off.settings, off.context, off_filter, off.status, 8).Searches(1));
}

TEST(AdaptiveScan, ReadsWithoutCheckCharacterNeedTwoLines) {
    const BarLine line = LineFromElements(Code39Elements("*AB12*", 2, 5, 2), 40, 40);
    Scan one(kCode39, true);
    EXPECT_EQ(one.Run(line, 1), "");
    Scan two(kCode39, true);
    EXPECT_EQ(two.Run(line, 2), "*AB12*");
}

// Text-like lines that the described search reads as symbologies without a check character:
// no quiet zone of five narrow elements anywhere.
TEST(AdaptiveScan, CrowdedBarsGiveNoRead) {
    auto symbol = Code39Elements("1234", 2, 5, 2);
    const BarLine line = LineFromGroups({{3, 2, 3, 2, 3}, symbol}, 6, 30);
    Scan off(kCode39Nude, false);
    EXPECT_NE(off.Run(line, 2), "");
    Scan on(kCode39Nude, true);
    EXPECT_EQ(on.Run(line, 2), "");
}

TEST(PageGreyThreshold, SeparatesInkFromPaper) {
    // Paper of luminance about 200 with ink of about 90: the threshold falls between.
    constexpr int kWidth = 64, kHeight = 32;
    std::vector<uint8_t> pixels(kWidth * kHeight * 3, 200);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; x += 8)
            for (int k = 0; k < 9; ++k)
                pixels[(y * kWidth + x) * 3 + k] = 90;
    const int t = PageGreyThreshold(pixels.data(), kWidth * 3, kWidth, kHeight);
    EXPECT_GE(t, 90);
    EXPECT_LT(t, 200);
    EXPECT_EQ(PageGreyThreshold(pixels.data(), kWidth * 3, 0, 0), kDefaultGreyThreshold);
    std::vector<uint8_t> blank(kWidth * kHeight * 3, 255);
    EXPECT_EQ(PageGreyThreshold(blank.data(), kWidth * 3, kWidth, kHeight), kDefaultGreyThreshold);
}

}  // namespace
}  // namespace pixdoc::barcode
