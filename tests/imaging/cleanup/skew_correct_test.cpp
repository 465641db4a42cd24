// ManualSkewCorrect's sign convention and size on a page with a slanted line, the page it
// writes, and its failures.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "imaging/cleanup/page_rotation.h"
#include "imaging/decode/bilevel/page_bitmap.h"
#include "imaging/encode/tiff_page_writer.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"
#include "tests/support/scratch_dir.h"

namespace pixdoc::cleanup {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 400;
constexpr int kRise = 1;  // the line descends one row every ten columns
constexpr int kRun = 10;

void Set(bilevel::PageBitmap& page, int x, int y) {
    page.Row(y)[x / 8] |= uint8_t(0x80 >> (x % 8));
}

bilevel::PageBitmap Blank() {
    bilevel::PageBitmap page;
    page.width = kWidth;
    page.height = kHeight;
    page.row_bytes = kWidth / 8;
    page.rows.assign(page.row_bytes * kHeight, 0);
    return page;
}

// A three-pixel-thick line through the centre descending by rise / run, from x 100 to 700.
bilevel::PageBitmap SlantedLine(int rise, int run) {
    bilevel::PageBitmap page = Blank();
    for (int x = 100; x < 700; ++x) {
        const int y = kHeight / 2 + (x - kWidth / 2) * rise / run;
        for (int t = -1; t <= 1; ++t)
            Set(page, x, y + t);
    }
    return page;
}

// Rows between the highest and the lowest set pixel.
int RowSpread(const bilevel::PageBitmap& page) {
    int top = page.height, bottom = -1;
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x)
            if (page.IsSet(x, y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return bottom - top;
}

bilevel::PageBitmap ReadBack(const std::string& file, ImageHeader& h) {
    h = ImageHeader{};
    bilevel::PageBitmap page;
    EXPECT_EQ(OpenImageHeader(0, file.c_str(), 1, &h), 0) << file;
    const ImageHeader header = h;
    h.handle = files::FileOpen(file.c_str());
    EXPECT_EQ(bilevel::DecodePageBitmap(h, page), bilevel::PageDecodeResult::kDecoded);
    files::FileClose(h.handle);
    h = header;
    return page;
}

std::string WriteInput(const scantora::testing::ScratchDir& dir, const bilevel::PageBitmap& page) {
    const std::string path = (dir / "in.tif").string();
    encode::BilevelPage in;
    in.width = page.width;
    in.height = page.height;
    in.rows = page.rows.data();
    in.row_bytes = page.row_bytes;
    in.x_resolution = 300;
    in.y_resolution = 200;
    encode::TiffCoding coding;
    coding.coding = 0;  // Group 3: the output's Group 4 is the correction's own
    EXPECT_EQ(encode::WriteBilevelTiff(path.c_str(), in, coding),
              encode::TiffWriteResult::kWritten);
    return path;
}

// A positive slope is a line descending to the right; the correction makes it horizontal, and
// the opposite slope makes it lean twice as much.
TEST(Straightened, PositiveSlopeDescendsToTheRightAndBecomesLevel) {
    const bilevel::PageBitmap page = SlantedLine(kRise, kRun);
    ASSERT_GT(RowSpread(page), 55);
    EXPECT_LE(RowSpread(Straightened(page, kRise, kRun)), 4);
    EXPECT_GT(RowSpread(Straightened(page, -kRise, kRun)), 110);
    // The same slope however it is written.
    EXPECT_EQ(Straightened(page, -kRise, -kRun).rows, Straightened(page, kRise, kRun).rows);
    EXPECT_LE(RowSpread(Straightened(SlantedLine(-kRise, kRun), -kRise, kRun)), 4);
    // A zero rise leaves the page as it is.
    EXPECT_EQ(Straightened(page, 0, kRun).rows, page.rows);
}

TEST(ManualSkewCorrect, WritesTheTurnedPageAsGroup4WithTheInputsResolution) {
    scantora::testing::ScratchDir dir;
    const std::string in = WriteInput(dir, SlantedLine(kRise, kRun));
    const std::string out = (dir / "out.tif").string();
    ASSERT_EQ(ManualSkewCorrect(in.c_str(), out.c_str(), kRise, kRun, 0, 0), 0);
    ImageHeader h;
    const bilevel::PageBitmap written = ReadBack(out, h);
    EXPECT_EQ(h.compression, 1);
    EXPECT_EQ(h.width, kWidth);
    EXPECT_EQ(h.height, kHeight);
    EXPECT_EQ(h.x_resolution, 300);
    EXPECT_EQ(h.y_resolution, 200);
    EXPECT_LE(RowSpread(written), 4);

    // Over the input itself: replaced only when complete.
    ASSERT_EQ(ManualSkewCorrect(in.c_str(), in.c_str(), kRise, kRun, 0, 0), 0);
    EXPECT_EQ(ReadBack(in, h).rows, written.rows);
}

// A page stored minimum-is-black (set bits white) is turned as it looks and written
// minimum-is-white.
TEST(ManualSkewCorrect, NegativePageIsWrittenAsItLooks) {
    scantora::testing::ScratchDir dir;
    const bilevel::PageBitmap picture = SlantedLine(kRise, kRun);
    const std::string in = (dir / "negative.tif").string();
    TIFF* tif = TIFFOpen(in.c_str(), "w");
    ASSERT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, kHeight);
    std::vector<uint8_t> stored = picture.rows;
    for (uint8_t& b : stored)
        b = uint8_t(~b);
    TIFFWriteEncodedStrip(tif, 0, stored.data(), tmsize_t(stored.size()));
    TIFFClose(tif);

    const std::string out = (dir / "out.tif").string();
    ASSERT_EQ(ManualSkewCorrect(in.c_str(), out.c_str(), kRise, kRun, 0, 0), 0);
    ImageHeader h;
    EXPECT_EQ(ReadBack(out, h).rows, Straightened(picture, kRise, kRun).rows);
    int32_t negative = 1;
    PXGetImageInfoExtended(out.c_str(), 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, &negative);
    EXPECT_EQ(negative, 0);
}

TEST(ManualSkewCorrect, Failures) {
    scantora::testing::ScratchDir dir;
    const std::string in = WriteInput(dir, SlantedLine(kRise, kRun));
    const std::string out = (dir / "out.tif").string();
    EXPECT_EQ(ManualSkewCorrect(in.c_str(), out.c_str(), kRise, 0, 0, 0), 2);
    EXPECT_EQ(ManualSkewCorrect((dir / "missing.tif").c_str(), out.c_str(), 1, 10, 0, 0), 1);
    EXPECT_EQ(ManualSkewCorrect(nullptr, out.c_str(), 1, 10, 0, 0), 1);
    EXPECT_FALSE(std::filesystem::exists(out));

    // A colour page: a 2 x 1 BMP of 24-bit pixels.
    const std::string bmp = (dir / "colour.bmp").string();
    const unsigned char pixels[] = {
        'B', 'M', 62,  0,    0,    0, 0, 0,    0,    0, 54, 0, 0, 0,  // file header
        40,  0,   0,   0,    2,    0, 0, 0,    1,    0, 0,  0, 1, 0, 24, 0, 0, 0, 0, 0, 8,
        0,   0,   0,   0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  // info header
        0,   0,   255, 255,  0,    0, 0, 0};  // one padded row
    scantora::testing::WriteFile(bmp,
                                 std::string(reinterpret_cast<const char*>(pixels), sizeof pixels));
    EXPECT_EQ(ManualSkewCorrect(bmp.c_str(), out.c_str(), 1, 10, 0, 0), 400);

    // An output that cannot be written leaves nothing behind.
    EXPECT_EQ(ManualSkewCorrect(in.c_str(), (dir / "no" / "out.tif").c_str(), 1, 10, 0, 0), 4);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 2u);
}

}  // namespace
}  // namespace pixdoc::cleanup
