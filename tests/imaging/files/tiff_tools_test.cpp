// Headers of files written by libtiff's tools and ImageMagick, checked against libtiff's own
// reading of the same files.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <filesystem>
#include <string>

#include "test_images.h"

namespace pixdoc::files {
namespace {

using testing::HasFields;
using testing::Open;
using testing::OpenResult;
using testing::OpensAs;

const std::string kDir = std::string(TEST_FIXTURE_DIR) + "/files_tiff/";

using TiffToolsTest = testing::LibraryStateTest;

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

TEST_F(TiffToolsTest, SingleStripCodingsMatchLibtiff) {
    const struct {
        const char* file;
        int page;
        int32_t code, orientation;
    } cases[] = {{"none.tif", 1, 3, 0},
                 {"g4.tif", 1, 1, 0},
                 {"g3_1d.tif", 1, 0, 0},
                 {"g3_2d.tif", 1, 2, 0},
                 {"packbits.tif", 1, 10, 0},
                 {"lsb.tif", 1, 1, 0},
                 {"big_endian.tif", 1, 1, 0},
                 {"oriented.tif", 1, 1, 1},
                 {"multi_page.tif", 1, 1, 0},
                 {"multi_page.tif", 2, 2, 0},
                 {"multi_page.tif", 3, 10, 0},
                 // Pages read again or backwards walk from the file header; the records stay
                 // the same.
                 {"multi_page.tif", 3, 10, 0},
                 {"multi_page.tif", 2, 2, 0},
                 {"multi_page.tif", 1, 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " page " + std::to_string(c.page));
        const std::string path = kDir + c.file;
        const Reference ref = ReadReference(path, c.page);
        ASSERT_EQ(ref.strips, 1u);
        EXPECT_TRUE(OpensAs(
            path, c.page,
            "compression " + std::to_string(c.code) + ", width " + std::to_string(ref.width) +
                ", height " + std::to_string(ref.height) +
                ", x_resolution 200, y_resolution 200, fill_order " +
                std::to_string(ref.fill_order - 1) + ", orientation " +
                std::to_string(c.orientation) + ", data_offset " + std::to_string(ref.offsets[0]) +
                ", data_byte_count " + std::to_string(ref.counts[0])));
        EXPECT_EQ(HeaderState().negative, 1);  // ImageMagick writes min-is-black
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

TEST_F(TiffToolsTest, ColourContainers) {
    ImageHeader h;
    ASSERT_EQ(Open(kDir + "colour.bmp", 1, h), 0);
    EXPECT_TRUE(
        HasFields(h, "compression 1024, width 120, height 80, x_resolution 150, data_byte_count " +
                         std::to_string(std::filesystem::file_size(kDir + "colour.bmp"))));
    EXPECT_EQ(h.options, 24);  // bits per pixel
    EXPECT_EQ(Open(kDir + "colour.bmp", 2, h), 2);
    EXPECT_EQ(GetTiffPages((kDir + "colour.bmp").c_str()), 1);

    // No resolution in the file: 100.
    ASSERT_EQ(Open(kDir + "rgb.tif", 1, h), 0);
    EXPECT_TRUE(HasFields(h, "compression 1029, width 120, height 80, x_resolution 100"));
    EXPECT_EQ(h.options, 24);
}

TEST_F(TiffToolsTest, EveryColourTiffPageIsDescribedFromItsOwnDirectory) {
    const std::string path = kDir + "colour_pages.tif";
    const struct {
        int page;
        int32_t bits, orientation;
    } pages[] = {{1, 24, 0}, {2, 8, 0}, {3, 24, 1}, {2, 8, 0}, {1, 24, 0}, {3, 24, 1}};
    for (const auto& p : pages) {
        SCOPED_TRACE("page " + std::to_string(p.page));
        const Reference ref = ReadReference(path, p.page);
        ImageHeader h;
        ASSERT_EQ(Open(path, p.page, h), 0);
        EXPECT_TRUE(HasFields(h, "compression 1029, width " + std::to_string(ref.width) +
                                     ", height " + std::to_string(ref.height) + ", orientation " +
                                     std::to_string(p.orientation) + ", data_offset 0"));
        EXPECT_EQ(h.options, p.bits);
    }
    EXPECT_EQ(OpenResult(path, 4), 2);
    EXPECT_TRUE(OpensAs(kDir + "oriented_rgb.tif", 1, "compression 1029, orientation 1"));
}

TEST_F(TiffToolsTest, JpegFilesAndJpegStrips) {
    EXPECT_TRUE(OpensAs(kDir + "colour.jpg", 1,
                        "compression 1027, width 120, height 80, x_resolution 150, data_offset 0"));
    EXPECT_EQ(OpenResult(kDir + "colour.jpg", 2), 2);
    EXPECT_EQ(GetTiffPages((kDir + "colour.jpg").c_str()), 1);
    EXPECT_TRUE(OpensAs(kDir + "grey.jpg", 1, "compression 1028"));

    // A colour TIFF page whose strip is a JPEG stream is described as JPEG, at the strip.
    const std::string tif = kDir + "jpeg_in.tif";
    const Reference ref = ReadReference(tif, 1);
    EXPECT_TRUE(OpensAs(tif, 1,
                        "compression 1027, width 120, data_offset " +
                            std::to_string(ref.offsets[0]) + ", data_byte_count " +
                            std::to_string(ref.counts[0])));
    // Colour pages taller than 8192 rows report 8192.
    EXPECT_TRUE(OpensAs(kDir + "tall.jpg", 1, "width 16, height 8192"));
}

}  // namespace
}  // namespace pixdoc::files
