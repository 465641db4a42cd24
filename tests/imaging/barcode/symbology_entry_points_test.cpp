// The single-symbology entry points of 2 of 5, Code 128, Codabar and EAN/UPC on a real page
// (make_symbology_pages.sh: 2 pixels per module, 200 dpi, each symbol upright and upside down).
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/decoder.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"
#include "tests/imaging/barcode/result_text.h"

namespace pixdoc::barcode {
namespace {

using testing::ParseResult;

const std::string kPage = std::string(TEST_FIXTURE_DIR) + "/symbologies/pages/a4-200-2px.tif";
const std::string kText = std::string(TEST_FIXTURE_DIR) + "/symbologies/pages/text-200.tif";

class SymbologyEntryPoints : public ::testing::Test {
protected:
    void SetUp() override { ResetBarcodeState(); }
    void TearDown() override { ResetBarcodeState(); }
};

TEST_F(SymbologyEntryPoints, OneReadPerSymbologyWithThresholdRetry) {
    char text[128];
    // 2 of 5 and Codabar at their narrow/wide threshold (4 = two modules); the retry finds
    // them from a threshold one off.
    EXPECT_EQ(PXinSeekBarCode2of5(kPage.c_str(), 0, 0, 0, 0, 5, 1, text, sizeof text), 0);
    EXPECT_STREQ(text, "*0123456789*");
    EXPECT_EQ(PXinSeekBarCodabar(kPage.c_str(), 0, 0, 0, 0, 4, 0, text, sizeof text), 0);
    EXPECT_STREQ(text, "*A40156B*");
    // Code 128 at its character width, the text framed like every read.
    EXPECT_EQ(PXinSeekBarCode128Ex(kPage.c_str(), 1, 0, 0, 0, 0, 22, 0, text, sizeof text), 0);
    EXPECT_STREQ(text, "*Scan 2024 ABC*");
    // Nothing of the kind on a text page.
    EXPECT_EQ(PXinSeekBarCode2of5(kText.c_str(), 0, 0, 0, 0, 4, 2, text, sizeof text), 5);
    EXPECT_EQ(PXinSeekBarCode128(kText.c_str(), 0, 0, 0, 0, 22, 2, text, sizeof text), 5);
    EXPECT_EQ(PXinSeekBarCode2of5("/nonexistent.tif", 0, 0, 0, 0, 4, 0, text, sizeof text), 1);
}

TEST_F(SymbologyEntryPoints, MemoryFormReadsTheImageFileHeldInMemory) {
    std::ifstream in(kPage, std::ios::binary);
    const std::vector<char> image((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    ASSERT_FALSE(image.empty());
    char text[128];
    EXPECT_EQ(PXinSeekBarCode2of5Memory(image.data(), static_cast<int32_t>(image.size()), 0, 0, 0,
                                        0, 4, 0, text, sizeof text),
              0);
    EXPECT_STREQ(text, "*0123456789*");
    // Cut short, the page is no longer readable as a whole.
    EXPECT_NE(PXinSeekBarCode2of5Memory(image.data(), 64, 0, 0, 0, 0, 4, 0, text, sizeof text), 0);
    EXPECT_EQ(PXinSeekBarCode2of5Memory(nullptr, 100, 0, 0, 0, 0, 4, 0, text, sizeof text), 1);
}

TEST_F(SymbologyEntryPoints, UpsideDownReadMovesItsMarkIntoTheStatus) {
    char text[128];
    // The lower half of the page holds the symbols upside down.
    ASSERT_EQ(PXinSeekBarCodabarEx(kPage.c_str(), 1, 0, 1100, 1600, 2300, 4, 0, text, sizeof text),
              0);
    EXPECT_STREQ(text, "*A40156B*");
    int32_t reversed = -1;
    ASSERT_EQ(PX_GetBarCodeStatus(nullptr, nullptr, nullptr, &reversed, nullptr), 0);
    EXPECT_EQ(reversed, 1);
}

TEST_F(SymbologyEntryPoints, EanRecordHoldsDigitsPositionAndSymbology) {
    PixdocEanResult ean;
    ASSERT_EQ(PXinSeekBarCodeEAN(kPage.c_str(), 0, 0, 0, 0, 14, 0, &ean), 0);
    // The first EAN/UPC symbol of the page is the UPC-A symbol: EAN-13 with its leading 0.
    EXPECT_STREQ(ean.digits, "0036000291452");
    EXPECT_EQ(ean.symbology, kEan13);
    EXPECT_EQ(ean.reversed, 0);
    EXPECT_GT(ean.end_column, ean.start_column);
    EXPECT_GT(ean.line, 0);
    EXPECT_EQ(ean.threshold, 14);
    // Below the upright symbols, the first is the upside-down UPC-A.
    ASSERT_EQ(PXinSeekBarCodeEANEx(kPage.c_str(), 1, 0, 1100, 1600, 2300, 14, 0, &ean), 0);
    EXPECT_STREQ(ean.digits, "0036000291452");
    EXPECT_EQ(ean.reversed, 1);
    EXPECT_EQ(PXinSeekBarCodeEAN(kText.c_str(), 0, 0, 0, 0, 14, 1, &ean), 5);
    EXPECT_STREQ(ean.digits, "");
}

TEST_F(SymbologyEntryPoints, MultipleFormsGiveTheResultText) {
    char many[1024];
    PXinSeekBarCodeInsertData(1);
    BarcodeMultipleSetZoneHeight(100);
    ASSERT_EQ(PXinSeekBarCodeEANMultiple(kPage.c_str(), 0, 0, 0, 0, 14, 0, 32, many, sizeof many),
              0);
    // UPC-A (as EAN-13), EAN-13 and EAN-8, each upright and upside down.
    EXPECT_EQ(ParseResult(many).size(), 6u) << many;
    ASSERT_EQ(
        PXinSeekBarCode128MultipleEx(kPage.c_str(), 1, 0, 0, 0, 0, 22, 0, 32, many, sizeof many),
        0);
    EXPECT_EQ(ParseResult(many).size(), 2u) << many;
    EXPECT_EQ(PXinSeekBarCode2of5Multiple(kText.c_str(), 0, 0, 0, 0, 4, 2, 32, many, sizeof many),
              5);
}

TEST_F(SymbologyEntryPoints, WholePageSearchesOnAnOpenedHeader) {
    ImageHeader h{};
    ASSERT_EQ(OpenImageHeader(0, kPage.c_str(), 1, &h), 0);
    h.handle = files::FileOpen(kPage.c_str());
    ASSERT_NE(h.handle, files::kInvalidHandle);
    char text[kCandidateCapacity];
    int32_t start = 0, end = 0;
    EXPECT_EQ(Barcode25(&h, text, 4, &start, &end), 0);
    EXPECT_STREQ(text, "*0123456789*");
    EXPECT_GT(end, start);
    files::FileClose(h.handle);

    h = ImageHeader{};
    ASSERT_EQ(OpenImageHeader(0, kPage.c_str(), 1, &h), 0);
    h.handle = files::FileOpen(kPage.c_str());
    EXPECT_EQ(Barcode128(&h, text, 22, &start, &end), 0);
    EXPECT_STREQ(text, "*Scan 2024 ABC*");
    files::FileClose(h.handle);

    h = ImageHeader{};
    ASSERT_EQ(OpenImageHeader(0, kPage.c_str(), 1, &h), 0);
    h.handle = files::FileOpen(kPage.c_str());
    EXPECT_EQ(BarcodeEAN(&h, text, 14, &start, &end), 0);
    EXPECT_STREQ(text, "*0036000291452*");
    files::FileClose(h.handle);

    EXPECT_EQ(Barcode25(nullptr, text, 4, &start, &end), 8);
}

}  // namespace
}  // namespace pixdoc::barcode
