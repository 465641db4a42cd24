// Headers of files written by libtiff's tools and ImageMagick, checked against libtiff's own
// reading of the same files.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <filesystem>
#include <string>

#include "test_images.h"

namespace pixdoc::files {
namespace {

using testing::Open;

const std::string kDir = std::string(TEST_FIXTURE_DIR) + "/files_tiff/";

class TiffToolsTest : public ::testing::Test {
protected:
    void SetUp() override { testing::ResetLibraryState(); }
    void TearDown() override { testing::ResetLibraryState(); }
};

// What libtiff says about one directory.
struct Reference {
    uint32_t width = 0, height = 0, strips = 0;
    uint16_t fill_order = 1;
    uint64_t first_offset = 0, first_count = 0;
    uint64_t offsets[8] = {}, counts[8] = {};
};

Reference ReadReference(const std::string& path, int page) {
    Reference r;
    TIFF* tif = TIFFOpen(path.c_str(), "rc") /* no strip chopping */;
    EXPECT_NE(tif, nullptr) << path;
    if (!tif) return r;
    EXPECT_TRUE(TIFFSetDirectory(tif, static_cast<tdir_t>(page - 1)));
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &r.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &r.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_FILLORDER, &r.fill_order);
    r.strips = TIFFNumberOfStrips(tif);
    uint64_t* offsets = nullptr;
    uint64_t* counts = nullptr;
    TIFFGetField(tif, TIFFTAG_STRIPOFFSETS, &offsets);
    TIFFGetField(tif, TIFFTAG_STRIPBYTECOUNTS, &counts);
    for (uint32_t i = 0; i < r.strips && i < 8; ++i) {
        r.offsets[i] = offsets[i];
        r.counts[i] = counts[i];
    }
    TIFFClose(tif);
    return r;
}

struct Case {
    const char* file;
    int page;
    int32_t code;
};

TEST_F(TiffToolsTest, SingleStripCodingsMatchLibtiff) {
    const Case cases[] = {{"none.tif", 1, 3},       {"g4.tif", 1, 1},
                          {"g3_1d.tif", 1, 0},      {"g3_2d.tif", 1, 2},
                          {"packbits.tif", 1, 10},  {"lsb.tif", 1, 1},
                          {"big_endian.tif", 1, 1}, {"multi_page.tif", 1, 1},
                          {"multi_page.tif", 2, 2}, {"multi_page.tif", 3, 10}};
    for (const Case& c : cases) {
        const std::string path = kDir + c.file;
        const Reference ref = ReadReference(path, c.page);
        ImageHeader h;
        ASSERT_EQ(Open(path, c.page, h), 0) << c.file << " " << c.page;
        EXPECT_EQ(h.compression, c.code) << c.file;
        EXPECT_EQ(h.width, static_cast<int32_t>(ref.width)) << c.file;
        EXPECT_EQ(h.height, static_cast<int32_t>(ref.height)) << c.file;
        EXPECT_EQ(h.fill_order, ref.fill_order - 1) << c.file;
        ASSERT_EQ(ref.strips, 1u) << c.file;
        EXPECT_EQ(static_cast<uint64_t>(h.data_offset), ref.offsets[0]) << c.file;
        EXPECT_EQ(static_cast<uint64_t>(h.data_byte_count), ref.counts[0]) << c.file;
        EXPECT_EQ(h.x_resolution, 200) << c.file;
        EXPECT_EQ(h.y_resolution, 200) << c.file;
        EXPECT_EQ(HeaderState().negative, 1) << c.file;  // ImageMagick writes min-is-black
    }
    EXPECT_EQ(GetTiffPages((kDir + "multi_page.tif").c_str()), 3);
    EXPECT_EQ(GetTiffPages((kDir + "g4.tif").c_str()), 1);
}

TEST_F(TiffToolsTest, MultiStripTableMatchesLibtiff) {
    const std::string path = kDir + "multi_strip.tif";
    const Reference ref = ReadReference(path, 1);
    ImageHeader h;
    ASSERT_EQ(Open(path, 1, h), 0);
    EXPECT_EQ(h.compression, 257);
    const auto* table = reinterpret_cast<const PixdocStripTable*>(h.data_offset);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(static_cast<uint32_t>(table->strip_count), ref.strips);
    EXPECT_EQ(table->rows_per_strip, 100);
    for (uint32_t i = 0; i < ref.strips; ++i) {
        EXPECT_EQ(table->strip_offsets[i], ref.offsets[i]) << i;
        EXPECT_EQ(table->strip_byte_counts[i], ref.counts[i]) << i;
    }
}

TEST_F(TiffToolsTest, OrientationTag) {
    ImageHeader h;
    ASSERT_EQ(Open(kDir + "oriented.tif", 1, h), 0);
    EXPECT_EQ(h.orientation, 1);
}

TEST_F(TiffToolsTest, PagesReadInAnyOrderGiveTheSameRecords) {
    const std::string path = kDir + "multi_page.tif";
    ImageHeader forward[3], backward[3];
    for (int p = 1; p <= 3; ++p)
        ASSERT_EQ(Open(path, p, forward[p - 1]), 0);
    for (int p = 3; p >= 1; --p)
        ASSERT_EQ(Open(path, p, backward[p - 1]), 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(forward[i].compression, backward[i].compression) << i;
        EXPECT_EQ(forward[i].data_offset, backward[i].data_offset) << i;
        EXPECT_EQ(forward[i].data_byte_count, backward[i].data_byte_count) << i;
    }
    EXPECT_NE(forward[0].data_offset, forward[1].data_offset);
}

TEST_F(TiffToolsTest, ColourContainers) {
    ImageHeader h;
    ASSERT_EQ(Open(kDir + "colour.bmp", 1, h), 0);
    EXPECT_EQ(h.compression, 1024);
    EXPECT_EQ(h.width, 120);
    EXPECT_EQ(h.height, 80);
    EXPECT_EQ(h.options, 24);  // bits per pixel
    EXPECT_EQ(h.x_resolution, 150);
    EXPECT_EQ(h.data_byte_count,
              static_cast<int32_t>(std::filesystem::file_size(kDir + "colour.bmp")));
    EXPECT_EQ(Open(kDir + "colour.bmp", 2, h), 2);
    EXPECT_EQ(GetTiffPages((kDir + "colour.bmp").c_str()), 1);

    ASSERT_EQ(Open(kDir + "rgb.tif", 1, h), 0);
    EXPECT_EQ(h.compression, 1029);
    EXPECT_EQ(h.width, 120);
    EXPECT_EQ(h.height, 80);
    EXPECT_EQ(h.options, 24);
    EXPECT_EQ(h.x_resolution, 100);  // no resolution in the file
}

TEST_F(TiffToolsTest, JpegFilesAndJpegStrips) {
    ImageHeader h;
    ASSERT_EQ(Open(kDir + "colour.jpg", 1, h), 0);
    EXPECT_EQ(h.compression, 1027);
    EXPECT_EQ(h.width, 120);
    EXPECT_EQ(h.height, 80);
    EXPECT_EQ(h.x_resolution, 150);
    EXPECT_EQ(h.data_offset, 0);
    EXPECT_EQ(Open(kDir + "colour.jpg", 2, h), 2);
    EXPECT_EQ(GetTiffPages((kDir + "colour.jpg").c_str()), 1);

    ASSERT_EQ(Open(kDir + "grey.jpg", 1, h), 0);
    EXPECT_EQ(h.compression, 1028);

    // A colour TIFF page whose strip is a JPEG stream is described as JPEG, at the strip.
    const std::string tif = kDir + "jpeg_in.tif";
    const Reference ref = ReadReference(tif, 1);
    ASSERT_EQ(Open(tif, 1, h), 0);
    EXPECT_EQ(h.compression, 1027);
    EXPECT_EQ(h.width, 120);
    EXPECT_EQ(static_cast<uint64_t>(h.data_offset), ref.offsets[0]);
    EXPECT_EQ(static_cast<uint64_t>(h.data_byte_count), ref.counts[0]);

    // Colour pages taller than 8192 rows report 8192.
    ASSERT_EQ(Open(kDir + "tall.jpg", 1, h), 0);
    EXPECT_EQ(h.width, 16);
    EXPECT_EQ(h.height, 8192);
}

}  // namespace
}  // namespace pixdoc::files
