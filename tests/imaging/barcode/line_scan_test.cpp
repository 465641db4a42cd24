#include "imaging/barcode/line_scan.h"

#include <gtest/gtest.h>

#include <string>

#include "imaging/barcode/barcode_state.h"
#include "tests/imaging/barcode/bar_lines.h"

namespace pixdoc::barcode {
namespace {

using testing::BarLine;
using testing::Code39Elements;
using testing::LineFromElements;
using testing::LineFromGroups;

struct Scan {
    StepSettings settings;
    FilterSettings filter_settings;
    char buffer[1024] = {};
    BarcodeStatus status;
    DecodeContext context;

    explicit Scan(uint16_t mask, int first = 4, int span = 0) {
        settings.mask = mask;
        settings.thresholds.first = first;
        settings.thresholds.code128_93 = 30;
        settings.thresholds.upc_ean = 18;
        settings.thresholds.span = span;
        filter_settings.insert_data = true;
        filter_settings.max_results = 8;
    }

    std::string Run(const BarLine& line, int line_number = 1, int max_results = 8) {
        ResultFilter filter(buffer, sizeof buffer, filter_settings);
        LineScanner scanner(settings, context, filter, status, max_results);
        scanner.ScanLine(line.list.data(), line.count, line.right_edge, line_number);
        return buffer;
    }
};

TEST(LineScan, LinesOfFewerThanSixBarsAreSkipped) {
    // One nude character is five bars; with a sixth bar after a quiet zone the line is searched.
    auto q = Code39Elements("Q", 2, 6, 2);
    Scan six(kCode39Nude);
    six.filter_settings.insert_data = false;
    auto with_sixth = LineFromGroups({q, {2}}, 40, 40);
    EXPECT_EQ(with_sixth.count, 14);
    EXPECT_EQ(six.Run(with_sixth), "*Q*");
    Scan five(kCode39Nude);
    auto alone = LineFromElements(q);
    EXPECT_EQ(alone.count, 12);
    EXPECT_EQ(five.Run(alone), "");
}

TEST(LineScan, SeveralSymbolsOnOneLineInOrder) {
    Scan scan(kCode39);
    auto line =
        LineFromGroups({Code39Elements("*AB*", 2, 6, 2), Code39Elements("*CD*", 2, 6, 2)}, 50, 50);
    int end_first = line.list[2 + 2 * 20 - 1] - 1;  // 20 bars in "*AB*"
    int start_second = line.list[2 + 2 * 20];
    int end_second = line.list[line.count - 1] - 1;
    EXPECT_EQ(scan.Run(line, 7), "*AB*<50," + std::to_string(end_first) + ",7,1,4>*CD*<" +
                                     std::to_string(start_second) + "," +
                                     std::to_string(end_second) + ",7,1,4>");
    EXPECT_EQ(scan.status.line, 7);
    EXPECT_EQ(scan.status.start_column, start_second);
}

TEST(LineScan, MaximumResultsStopsTheLine) {
    Scan scan(kCode39);
    scan.filter_settings.insert_data = false;
    auto line =
        LineFromGroups({Code39Elements("*AB*", 2, 6, 2), Code39Elements("*CD*", 2, 6, 2)}, 50, 50);
    EXPECT_EQ(scan.Run(line, 1, 1), "*AB*");
}

TEST(LineScan, ThresholdSweepOrderAndStatus) {
    // Narrow 5, wide 12: readable at 6 only (5 is wide at 4 and 5; 12 > 2T below 6).
    auto line = LineFromElements(Code39Elements("*Z9*", 5, 12, 5));
    Scan no_sweep(kCode39, 4, 1);
    EXPECT_EQ(no_sweep.Run(line), "");
    Scan sweep(kCode39, 4, 2);  // 4, 5, 3, 6
    EXPECT_NE(sweep.Run(line).find(",1,6>"), std::string::npos) << sweep.buffer;
    EXPECT_EQ(sweep.status.threshold, 6);
    EXPECT_EQ(sweep.status.symbology, kCode39);
    Scan high(kCode39, 14, 4);  // 14, 15, 13, 16, 12: 12 reads (wide 12 >= T, not above 2T)
    EXPECT_NE(high.Run(line).find(",1,12>"), std::string::npos) << high.buffer;
}

TEST(LineScan, StandardBeforeNudeAndMaskSelects) {
    auto line = LineFromElements(Code39Elements("*AB*", 2, 6, 2));
    Scan both(kCode39 | kCode39Nude);
    EXPECT_EQ(both.Run(line).substr(0, 4), "*AB*");
    Scan nude(kCode39Nude);
    EXPECT_EQ(nude.Run(line).substr(0, 6), "**AB**");
    Scan other(kCode128 | kUpcA | 2048);
    EXPECT_EQ(other.Run(line), "");
}

// A wide bar split by a one-pixel hole needs the single-pixel retry.
BarLine SplitBarLine(int narrow, int wide) {
    auto elements = Code39Elements("*A*", narrow, wide, narrow);
    elements[10] = wide / 2;
    elements.insert(elements.begin() + 11, {1, wide - wide / 2 - 1});
    return LineFromElements(elements);
}

TEST(LineScan, SinglePixelRetryFromThresholdSixUnlessSwitchedOff) {
    Scan at_six(kCode39, 6);
    at_six.filter_settings.insert_data = false;
    EXPECT_EQ(at_six.Run(SplitBarLine(3, 8)), "*A*");
    Scan at_five(kCode39, 5);
    EXPECT_EQ(at_five.Run(SplitBarLine(3, 8)), "");
    Scan off(kCode39, 6);
    off.settings.no_single_bits = true;
    EXPECT_EQ(off.Run(SplitBarLine(3, 8)), "");
}

TEST(LineScan, RepeatedLinesGiveTheSameReadsJudgedOnTheirOwnLine) {
    auto line =
        LineFromGroups({Code39Elements("*AB*", 2, 6, 2), Code39Elements("*CD*", 2, 6, 2)}, 50, 50);
    auto other = LineFromElements(Code39Elements("*XY*", 2, 6, 2), 400);
    Scan scan(kCode39);
    scan.filter_settings.zone_height = 2;
    ResultFilter filter(scan.buffer, sizeof scan.buffer, scan.filter_settings);
    LineScanner scanner(scan.settings, scan.context, filter, scan.status, 16);
    for (int n = 1; n <= 3; ++n)
        scanner.ScanLine(line.list.data(), line.count, line.right_edge, n);
    scanner.ScanLine(other.list.data(), other.count, other.right_edge, 4);
    scanner.ScanLine(line.list.data(), line.count, line.right_edge, 5);
    auto text = std::string(scan.buffer);
    // Lines 1 and 3 (two lines apart), line 4's own symbol, and line 5 again after line 3.
    EXPECT_EQ(text.find("*AB*<50,"), 0u) << text;
    EXPECT_NE(text.find(",3,1,4>*CD*"), std::string::npos) << text;
    EXPECT_NE(text.find("*XY*<400,"), std::string::npos) << text;
    EXPECT_NE(text.find(",5,1,4>*CD*"), std::string::npos) << text;
    EXPECT_EQ(text.find(",2,1,4>"), std::string::npos) << text;
    EXPECT_EQ(scan.status.line, 5);
}

// With no one-pixel element on the line, the retry could change nothing and is not made; with
// one anywhere, it is.
TEST(LineScan, RetryOnlyOnLinesWithAOnePixelElement) {
    Scan scan(kCode39, 6);
    scan.filter_settings.insert_data = false;
    EXPECT_EQ(scan.Run(SplitBarLine(3, 8)), "*A*");
    auto plain = LineFromElements(Code39Elements("*A*", 3, 8, 3));
    Scan plain_scan(kCode39, 6);
    plain_scan.filter_settings.insert_data = false;
    EXPECT_EQ(plain_scan.Run(plain), "*A*");
}

TEST(LineScan, RefusedReadIsStillSkippedOver) {
    Scan scan(kCode39);
    scan.filter_settings.insert_data = false;
    scan.filter_settings.min_length = 3;
    auto line =
        LineFromGroups({Code39Elements("*AB*", 2, 6, 2), Code39Elements("*CDE*", 2, 6, 2)}, 50, 50);
    EXPECT_EQ(scan.Run(line), "*CDE*");
}

}  // namespace
}  // namespace pixdoc::barcode
