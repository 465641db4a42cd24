// Real symbols of every symbology other than Code 39 (zint) on A4 Group 4 pages at 200 and 300
// dpi, 1 to 4 pixels per module, upright and upside down, searched with PXinSeekBarCode: every
// symbol read once with its text and position, and text-only pages give nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/decoder.h"
#include "pixdoc32.h"
#include "tests/imaging/barcode/result_text.h"

namespace pixdoc::barcode::testing {

// Readable failure messages: text and position suffix as the result text shows them.
void PrintTo(const ParsedRead& r, std::ostream* os) {
    *os << r.text << "<" << r.start << "," << r.end << "," << r.line << "," << r.symbology << ">";
}

}  // namespace pixdoc::barcode::testing

namespace pixdoc::barcode {
namespace {

using testing::ParsedRead;
using testing::ParseResult;

const std::string kPages = std::string(TEST_FIXTURE_DIR) + "/symbologies/pages/";
constexpr int16_t kWholeMask = 2047;

struct Page {
    int ppm = 0;
    std::vector<ParsedRead> reads;
    bool any_marked = false;
};

// Where each decoder puts its columns, from the symbol's black bounding box.
ParsedRead ExpectedRead(int bit, const std::string& text, int left, int width, int top, int ppm,
                        bool upside_down) {
    ParsedRead r{text, left, left + width - 1, top + 1, bit, 0};
    switch (bit) {
        case kCode128:  // up to the stop's last bar; the backward read from its outer end
            r.start = upside_down ? left + 2 * ppm : left;
            r.end = upside_down ? left + width : left + width - 2 * ppm;
            break;
        case kCode93:
        case kCode93Type2:  // up to the termination bar
            r.start = upside_down ? left + ppm : left;
            r.end = upside_down ? left + width : left + width - ppm;
            break;
        case kUpcA:
        case kEan13:
        case kEan8:  // the change after the end guard
            r.end = left + width;
            break;
        default:
            break;
    }
    return r;
}

std::map<std::string, Page> LoadPages() {
    std::map<std::string, Page> pages;
    std::ifstream in(kPages + "expected.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string file, text;
        int ppm, bit, left, width, top, upside_down;
        std::getline(fields, file, '\t');
        fields >> ppm >> bit;
        fields.ignore();
        std::getline(fields, text, '\t');
        fields >> left >> width >> top >> upside_down;
        Page& p = pages[file];
        p.ppm = ppm;
        p.reads.push_back(ExpectedRead(bit, text, left, width, top, ppm, upside_down != 0));
        // Code 128 and Code 93 read upside down carry no mark; the others do.
        const bool marks = bit != kCode128 && bit != kCode93 && bit != kCode93Type2;
        p.any_marked = p.any_marked || (upside_down && marks);
    }
    return pages;
}

std::vector<ParsedRead> Sorted(std::vector<ParsedRead> reads) {
    for (auto& r : reads)
        r.threshold = 0;
    std::sort(reads.begin(), reads.end(),
              [](const auto& a, const auto& b) { return a.line < b.line; });
    return reads;
}

// The Code 128 reads come without asterisks in the expectations: the frame adds them.
std::vector<ParsedRead> Framed(std::vector<ParsedRead> reads) {
    for (auto& r : reads)
        if (r.symbology == kCode128) r.text = "*" + r.text + "*";
    return reads;
}

int32_t Seek(const std::string& file, int16_t mask, int16_t first, int16_t second, int16_t span,
             int16_t min_length, std::string& text) {
    std::vector<char> buffer(32767, 'x');
    const int32_t code = PXinSeekBarCode(file.c_str(), 1, 0, 0, 0, 0, 0, mask, first, second, span,
                                         min_length, 128, buffer.data(), 32767);
    text = buffer.data();
    return code;
}

class SymbologyPages : public ::testing::Test {
protected:
    void SetUp() override {
        ResetBarcodeState();
        PXinSeekBarCodeInsertData(1);
        BarcodeMultipleSetZoneHeight(100);
    }
    void TearDown() override { ResetBarcodeState(); }
};

// With the whole mask (Code 39 and its nude form included) and no minimum length, nothing but
// the symbols is read. Thresholds for the module width: 2 modules for the narrow/wide symbologies,
// and a second threshold of 9 modules swept by 2 modules so that 7 (EAN), 9 (Code 93) and 11 (Code
// 128) are all reached.
TEST_F(SymbologyPages, EverySymbolReadOnceWithItsTextAndPosition) {
    const auto pages = LoadPages();
    ASSERT_EQ(pages.size(), 8u);
    for (const auto& [file, page] : pages) {
        SCOPED_TRACE(file);
        std::string text;
        const int p = page.ppm;
        ASSERT_EQ(Seek(kPages + file, kWholeMask, 2 * p, 9 * p, 2 * p, 0, text), 0);
        EXPECT_EQ(Sorted(ParseResult(text)), Sorted(Framed(page.reads))) << text;
        int32_t reversed = -1;
        ASSERT_EQ(PX_GetBarCodeStatus(nullptr, nullptr, nullptr, &reversed, nullptr), 0);
        EXPECT_EQ(reversed, page.any_marked ? 1 : 0);
    }
}

TEST_F(SymbologyPages, TextOnlyPagesGiveNothingWithTheWholeMask) {
    for (const char* file : {"text-200.tif", "text-300.tif"}) {
        std::string text;
        EXPECT_EQ(Seek(kPages + file, kWholeMask, 0, 0, 4, 4, text), 32) << file << ": " << text;
        EXPECT_EQ(text, "");
    }
}

}  // namespace
}  // namespace pixdoc::barcode
