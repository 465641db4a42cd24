// Real Code 39 symbols (zint) on A4 pages in several codings, searched like the barcode reader
// control searches them: every expected read with its position, and nothing else.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/decoder.h"
#include "pixdoc32.h"
#include "tests/imaging/barcode/result_text.h"

namespace pixdoc::barcode {
namespace {

using testing::ParsedRead;
using testing::ParseResult;

const std::string kPages = std::string(TEST_FIXTURE_DIR) + "/code39_pages/";

struct Expected {
    int direction = 0;
    std::vector<ParsedRead> reads;  // threshold not compared
    bool any_reversed = false;
};

std::map<std::string, Expected> LoadExpected() {
    std::map<std::string, Expected> pages;
    std::ifstream in(kPages + "expected.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string file, text;
        int direction, start, end, row, reversed;
        std::getline(fields, file, '\t');
        fields >> direction;
        fields.ignore();
        std::getline(fields, text, '\t');
        fields >> start >> end >> row >> reversed;
        Expected& e = pages[file];
        e.direction = direction;
        // Direction 0 returns plain text; other directions keep the mark on the first byte.
        if (reversed && direction != 0) text[0] = static_cast<char>(text[0] | 0x80);
        e.reads.push_back({text, start, end, row, kCode39, 2});
        e.any_reversed = e.any_reversed || reversed;
    }
    return pages;
}

struct Search {
    int32_t code = -1;
    std::vector<ParsedRead> reads;
    std::string text;
};

Search Seek(const std::string& file, int direction, int16_t mask = 2047, int16_t min_length = 4,
            int16_t max_results = 32, int16_t x1 = 0, int16_t y1 = 0, int16_t x2 = 0,
            int16_t y2 = 0, int16_t size = 32767) {
    std::vector<char> buffer(32767, 'x');
    Search s;
    s.code = PXinSeekBarCode(file.c_str(), 1, x1, y1, x2, y2, direction, mask, 0, 0, 4, min_length,
                             max_results, buffer.data(), size);
    s.text = buffer.data();
    s.reads = ParseResult(s.text);
    return s;
}

// Sorted by line and column, thresholds checked for a plausible value and cleared.
std::vector<ParsedRead> WithoutThresholds(std::vector<ParsedRead> reads) {
    for (auto& r : reads) {
        EXPECT_GE(r.threshold, 2) << r.text;
        r.threshold = 0;
    }
    std::sort(reads.begin(), reads.end(), [](const auto& a, const auto& b) {
        return std::tie(a.line, a.start) < std::tie(b.line, b.start);
    });
    return reads;
}

class SeekPages : public ::testing::Test {
protected:
    void SetUp() override {
        ResetBarcodeState();
        PXinSeekBarCodeInsertData(1);
        BarcodeMultipleSetZoneHeight(100);
    }
};

void ExpectEveryRead(const std::string& file, const Expected& expected) {
    SCOPED_TRACE(file);
    Search s = Seek(kPages + file, expected.direction, kCode39, 0);
    ASSERT_EQ(s.code, 0);
    EXPECT_EQ(WithoutThresholds(s.reads), WithoutThresholds(expected.reads)) << s.text;
    int32_t start, end, line, reversed, threshold;
    ASSERT_EQ(PX_GetBarCodeStatus(&start, &end, &line, &reversed, &threshold), 0);
    EXPECT_EQ(reversed, expected.direction == 0 && expected.any_reversed ? 1 : 0);
}

TEST_F(SeekPages, EveryLabelOnEveryPageAndCoding) {
    auto pages = LoadExpected();
    ASSERT_GE(pages.size(), 10u);
    for (auto& [file, expected] : pages)
        ExpectEveryRead(file, expected);
}

TEST_F(SeekPages, ReaderControlArgumentsFindTheLabelsAndNothingElse) {
    Search s = Seek(kPages + "a4-300-upright-g4.tif", 0);
    ASSERT_EQ(s.code, 0);
    ASSERT_EQ(s.reads.size(), 2u) << s.text;
    EXPECT_EQ(s.reads[0].text, "*LABEL-0001*");
    EXPECT_EQ(s.reads[1].text, "*ORDER 77/B*");
    Search upside = Seek(kPages + "a4-300-upside-down-g4.tif", 0);
    ASSERT_EQ(upside.code, 0);
    EXPECT_EQ(upside.reads.size(), 4u) << upside.text;
}

TEST_F(SeekPages, LeaveInvertFlagKeepsTheMarksInRows) {
    PXinSeekBarCodeLeaveInvertFlag(1);
    Search s = Seek(kPages + "a4-300-upside-down-g4.tif", 0, kCode39);
    ASSERT_EQ(s.code, 0);
    ASSERT_FALSE(s.reads.empty());
    EXPECT_EQ(static_cast<unsigned char>(s.reads[0].text[0]), '*' | 0x80) << s.text;
    int32_t reversed = -1;
    ASSERT_EQ(PX_GetBarCodeStatus(nullptr, nullptr, nullptr, &reversed, nullptr), 0);
    EXPECT_EQ(reversed, 0);
}

TEST_F(SeekPages, OtherDirectionsScanBitmapRowsFromZero) {
    Search rows = Seek(kPages + "a4-300-upright-g4.tif", 0, kCode39);
    Search bitmap = Seek(kPages + "a4-300-upright-g4.tif", 2, kCode39);
    ASSERT_EQ(bitmap.code, 0);
    ASSERT_EQ(bitmap.reads.size(), rows.reads.size()) << bitmap.text;
    for (size_t i = 0; i < rows.reads.size(); ++i) {
        EXPECT_EQ(bitmap.reads[i].text, rows.reads[i].text);
        EXPECT_EQ(bitmap.reads[i].start, rows.reads[i].start);
        EXPECT_EQ(bitmap.reads[i].line, rows.reads[i].line - 1);
    }
    // Turned labels give nothing to a row scan.
    EXPECT_EQ(Seek(kPages + "a4-300-turned-g4.tif", 0).code, 32);
}

}  // namespace
}  // namespace pixdoc::barcode
