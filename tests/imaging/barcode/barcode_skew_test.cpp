// Skew measured from a symbol's first and last bar on pages of a zint symbol turned by -5 to +5
// degrees, its edge cases, and a straightened page whose symbol reads on more lines.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/barcode/barcode_skew.h"
#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/code39.h"
#include "imaging/barcode/decode_context.h"
#include "imaging/decode/bilevel/page_bitmap.h"
#include "imaging/decode/bilevel/row_to_changes.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"
#include "tests/support/scratch_dir.h"

namespace pixdoc::barcode {
namespace {

constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;
constexpr int16_t kCode39Mask = 1;
constexpr char kSymbolText[] = "*SKEW-TEST*";

std::string Page(int angle) {
    char name[32];
    std::snprintf(name, sizeof name, "skew%+d.tif", angle);
    return std::string(TEST_FIXTURE_DIR) + "/skew_pages/" + name;
}

int32_t Search(const std::string& file) {
    std::vector<char> result(1024);
    return PXinSeekBarCode(file.c_str(), 1, 0, 0, 0, 0, 0, kCode39Mask, 0, 0, 4, 4, 8,
                           result.data(), int16_t(result.size()));
}

bilevel::PageBitmap Decoded(const std::string& file) {
    ImageHeader h{};
    bilevel::PageBitmap page;
    EXPECT_EQ(OpenImageHeader(0, file.c_str(), 1, &h), 0) << file;
    h.handle = files::FileOpen(file.c_str());
    EXPECT_EQ(bilevel::DecodePageBitmap(h, page), bilevel::PageDecodeResult::kDecoded);
    files::FileClose(h.handle);
    return page;
}

// Rows on which the Code 39 decoder reads the symbol from some bar at some threshold.
int LinesReading(const std::string& file) {
    const bilevel::PageBitmap page = Decoded(file);
    std::vector<int16_t> list(size_t(page.width) + 32);
    DecodeContext context;
    int lines = 0;
    for (int y = 0; y < page.height; ++y) {
        // The frame's form: two leading zeros, then the changes and their sentinels.
        const int count = 2 + bilevel::RowToChanges(page.Row(y), page.width, list.data() + 2);
        bool read = false;
        for (int entry = 2; entry < count && !read; entry += 2)
            for (int threshold = 2; threshold <= 6 && !read; ++threshold) {
                Candidate c;
                read = DecodeCode39(LineView{list.data() + entry, page.width}, threshold, false,
                                    context, c) &&
                       std::string(c.text) == kSymbolText;
            }
        lines += read;
    }
    return lines;
}

class SkewedSymbol : public ::testing::TestWithParam<int> {};

TEST_P(SkewedSymbol, IsMeasuredWithItsSignAndSize) {
    const int angle = GetParam();
    ASSERT_EQ(Search(Page(angle)), 0);
    int32_t rise = 99, run = 0;
    ASSERT_EQ(PX_FindBarcodeSkew(Page(angle).c_str(), &rise, &run), 0);
    ASSERT_GT(run, 400);  // from the first bar to the last, across the symbol
    const double measured = std::atan(double(rise) / run) * kDegreesPerRadian;
    EXPECT_NEAR(measured, angle, 0.6) << "rise " << rise << " run " << run;
    if (angle == 0) {
        EXPECT_EQ(rise, 0) << "an upright symbol's bars are equally tall";
    } else {
        EXPECT_EQ(rise > 0, angle > 0) << "rise " << rise;
    }
}

INSTANTIATE_TEST_SUITE_P(Degrees, SkewedSymbol, ::testing::Range(-5, 6),
                         [](const ::testing::TestParamInfo<int>& info) {
                             const int a = info.param;
                             return (a < 0 ? "minus" : "plus") + std::to_string(std::abs(a));
                         });

TEST(BarcodeSkew, StraightenedPageReadsOnMoreLines) {
    scantora::testing::ScratchDir dir;
    for (int angle : {-5, 4}) {
        const std::string out = (dir / ("straight" + std::to_string(angle) + ".tif")).string();
        ASSERT_EQ(Search(Page(angle)), 0);
        ASSERT_EQ(PX_DeskewBarCode(Page(angle).c_str(), out.c_str()), 0);
        const int before = LinesReading(Page(angle));
        const int after = LinesReading(out);
        EXPECT_GT(after, before + 10) << angle << " degrees";
        // Measured again, the straightened symbol stands upright within a degree.
        ASSERT_EQ(Search(out), 0);
        int32_t rise = 0, run = 0;
        ASSERT_EQ(PX_FindBarcodeSkew(out.c_str(), &rise, &run), 0);
        EXPECT_LT(std::abs(std::atan(double(rise) / run) * kDegreesPerRadian), 1.0);
    }
}

TEST(BarcodeSkew, UprightSymbolIsCopiedAndStraightenedUnchanged) {
    scantora::testing::ScratchDir dir;
    const std::string out = (dir / "upright.tif").string();
    ASSERT_EQ(Search(Page(0)), 0);
    ASSERT_EQ(PX_DeskewBarCode(Page(0).c_str(), out.c_str()), 0);
    const bilevel::PageBitmap original = Decoded(Page(0));
    const bilevel::PageBitmap written = Decoded(out);
    EXPECT_TRUE(original.rows == written.rows);
}

TEST(BarcodeSkew, EdgeCases) {
    scantora::testing::ScratchDir dir;
    const std::string out = (dir / "out.tif").string();
    int32_t rise = 7, run = 7;

    // No successful search since the last one began.
    ResetBarcodeState();
    EXPECT_EQ(PX_FindBarcodeSkew(Page(0).c_str(), &rise, &run), 2);
    std::vector<char> result(64);
    EXPECT_EQ(PXinSeekBarCode(Page(0).c_str(), 1, 0, 0, 0, 0, 0, 2, 0, 0, 4, 4, 8, result.data(),
                              int16_t(result.size())),
              32);  // no interleaved 2 of 5 here
    EXPECT_EQ(PX_FindBarcodeSkew(Page(0).c_str(), &rise, &run), 2);
    EXPECT_EQ(PX_DeskewBarCode(Page(0).c_str(), out.c_str()), 1);
    EXPECT_EQ(rise, 7);

    ASSERT_EQ(Search(Page(2)), 0);
    EXPECT_EQ(PX_FindBarcodeSkew((dir / "missing.tif").c_str(), &rise, &run), 1);
    EXPECT_EQ(PX_FindBarcodeSkew(nullptr, &rise, &run), 1);
    const std::string colour = std::string(TEST_FIXTURE_DIR) + "/skew_pages/colour.jpg";
    EXPECT_EQ(PX_FindBarcodeSkew(colour.c_str(), &rise, &run), 400);

    // Start and end tracked to the same column: the run is 0 and nothing is written.
    BarcodeState().status.end_column = BarcodeState().status.start_column;
    EXPECT_EQ(PX_FindBarcodeSkew(Page(2).c_str(), &rise, &run), 0);
    EXPECT_EQ(run, 0);
    EXPECT_EQ(PX_DeskewBarCode(Page(2).c_str(), out.c_str()), 1);
    EXPECT_FALSE(std::filesystem::exists(out));

    ASSERT_EQ(Search(Page(2)), 0);
    EXPECT_EQ(PX_DeskewBarCode(Page(2).c_str(), (dir / "no" / "out.tif").c_str()), 3);
}

// The climb on a hand-made bitmap: it follows a stair one column a row, takes the leftmost
// pixel, and ends above the top row or at a start outside the page.
TEST(FollowBarUp, ClimbsStairsAndStops) {
    bilevel::PageBitmap page;
    page.width = 16;
    page.height = 10;
    page.row_bytes = 2;
    page.rows.assign(20, 0);
    auto set = [&](int x, int y) { page.Row(y)[x / 8] |= uint8_t(0x80 >> (x % 8)); };
    for (int y = 9; y >= 4; --y) {
        set(5 + (9 - y), y);  // leans right going up
        set(6 + (9 - y), y);
    }
    EXPECT_EQ(FollowBarUp(page, 5, 9).x, 10);
    EXPECT_EQ(FollowBarUp(page, 5, 9).y, 3);
    EXPECT_EQ(FollowBarUp(page, 0, 9).y, 9);  // nothing under the start
    for (int y = 0; y < 10; ++y)
        set(0, y);
    EXPECT_EQ(FollowBarUp(page, 0, 9).y, -1);   // past row 0
    EXPECT_EQ(FollowBarUp(page, 0, 10).y, 10);  // below the page
}

}  // namespace
}  // namespace pixdoc::barcode
