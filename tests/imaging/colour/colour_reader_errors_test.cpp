// Damaged and refused containers: each ends with its colour error code and keeps the rows that
// were delivered before the damage.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/colour/colour_error.h"
#include "imaging/decode/colour/colour_state.h"
#include "tests/imaging/colour/colour_test_support.h"
#include "tests/imaging/files/test_images.h"

namespace {

using colour_test::Collector;
using colour_test::FixturePath;
using colour_test::ReadFile;
using pixdoc::ColourDecoderState;
using pixdoc::files::testing::PutLe16;
using pixdoc::files::testing::PutLe32;
using pixdoc::files::testing::TiffEntry;

struct Outcome {
    int recognised = 0;
    int decoded = 0;
    int32_t code = 0;
    int rows = 0;  // rows delivered
};

Outcome Attempt(const std::vector<uint8_t>& bytes) {
    Outcome o;
    ColourDecoderState s;
    Collector c;
    pixdoc::SetColourSourceMemory(s, bytes.data(), static_cast<int64_t>(bytes.size()));
    o.recognised = colour_test::Recognise(s);
    if (o.recognised == 0) {
        o.decoded = colour_test::DecodeInto(s, c);
        for (int d : c.deliveries)
            o.rows += d;
    }
    o.code = pixdoc::GetColourError();
    EXPECT_EQ(s.error_code, o.code);
    return o;
}

TEST(ColourErrors, TruncatedFilesKeepTheRowsSoFar) {
    for (const char* file :
         {"bmp24_BMP3.bmp", "bmp8_BMP3.bmp", "gif_plain.gif", "gif_interlaced.gif", "pcx_24.pcx",
          "pcx_planes16.pcx", "tiff_grey_packbits.tif"}) {
        auto bytes = ReadFile(FixturePath(file));
        // TIFF keeps its directory at the end; cut into the strips instead.
        const bool tiff = std::string(file).ends_with(".tif");
        if (tiff)
            std::fill(bytes.begin() + 8 + 1500, bytes.begin() + 8 + 1510, 0x80);
        else
            bytes.resize(bytes.size() / 2);
        const Outcome o = Attempt(bytes);
        ASSERT_EQ(o.recognised, 0) << file;
        if (tiff) continue;  // PackBits no-ops only shift the rows; the file still decodes
        EXPECT_LT(o.decoded, 0) << file;
        EXPECT_TRUE(o.code == pixdoc::kErrUnexpectedEnd || o.code == pixdoc::kErrGifCode)
            << file << " " << o.code;
        EXPECT_GT(o.rows, 0) << file;
        EXPECT_LT(o.rows, 67) << file;
    }
}

// A copy of the file with a 16- or 32-bit little-endian value written at `at`.
std::vector<uint8_t> With16(std::vector<uint8_t> b, size_t at, uint32_t v) {
    PutLe16(b, at, v);
    return b;
}
std::vector<uint8_t> With32(std::vector<uint8_t> b, size_t at, uint32_t v) {
    PutLe32(b, at, v);
    return b;
}

TEST(ColourErrors, BmpHeaders) {
    const auto good = ReadFile(FixturePath("bmp8_plain.bmp"));
    // An unknown information header size, 16 bits per pixel, data beyond the file, a huge width.
    EXPECT_EQ(Attempt(With32(good, 14, 64)).code, pixdoc::kErrGifCode);
    EXPECT_EQ(Attempt(With16(good, 28, 16)).code, pixdoc::kErrUnsupportedDepth);
    EXPECT_EQ(Attempt(With32(good, 10, uint32_t(good.size() + 10))).code, pixdoc::kErrDataOffset);
    EXPECT_EQ(Attempt(With32(good, 18, 0x7FFFFFFF)).code, pixdoc::kErrDimensions);
}

TEST(ColourErrors, GifStructure) {
    const auto good = ReadFile(FixturePath("gif_plain.gif"));
    // Only a trailer after the screen descriptor and its table.
    const size_t table = 3u << ((good[10] & 7) + 1);
    std::vector<uint8_t> no_image(good.begin(), good.begin() + 13 + table);
    no_image.push_back(0x3B);
    const Outcome o = Attempt(no_image);
    EXPECT_LT(o.recognised, 0);
    EXPECT_EQ(o.code, pixdoc::kErrGifNoImage);
    EXPECT_STREQ(pixdoc::ColourErrorText(o.code),
                 "GIF Image file appears corrupt since image was not found.");

    // A code far beyond the dictionary right after the clear code (code size 3: clear 4).
    std::vector<uint8_t> bad_code = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 1, 0, 0x81, 0, 0};
    for (int i = 0; i < 4; ++i)
        bad_code.insert(bad_code.end(), {0, 0, 0});  // 4 colours
    bad_code.insert(bad_code.end(),
                    {0x2C, 0, 0, 0, 0, 4, 0, 1, 0, 0, 2, 2, 0x04 | (7 << 3), 0, 0, 0x3B});
    const Outcome g = Attempt(bad_code);
    EXPECT_EQ(g.recognised, 0);
    EXPECT_LT(g.decoded, 0);
    EXPECT_EQ(g.code, pixdoc::kErrGifCode);
}

TEST(ColourErrors, PcxRunsPastTheRowAndMissingPalette) {
    // 4 x 3 pixels, 8-bit, one run of 63 bytes covers all rows and more: rows stay bounded.
    std::vector<uint8_t> pcx(128, 0);
    pcx[0] = 0x0A;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    PutLe16(pcx, 8, 3);
    PutLe16(pcx, 10, 2);
    pcx[65] = 1;
    PutLe16(pcx, 66, 4);
    pcx.insert(pcx.end(), {0xFF, 7});
    EXPECT_EQ(Attempt(pcx).code, pixdoc::kErrPalette);  // no 256-colour palette at the end
    pcx.push_back(12);
    pcx.insert(pcx.end(), 768, 9);
    const Outcome o = Attempt(pcx);
    EXPECT_EQ(o.decoded, 0);
    EXPECT_EQ(o.rows, 3);
}

// A little-endian TIFF with one directory of (tag, type, value) entries and 64 zero bytes.
std::vector<uint8_t> Tiff(const std::vector<std::array<uint32_t, 3>>& entries) {
    std::vector<TiffEntry> directory;
    for (const auto& [tag, type, value] : entries)
        directory.push_back({uint16_t(tag), uint16_t(type), 1, value});
    pixdoc::files::testing::TiffBuilder t;
    t.AddDirectory(directory);
    t.Append(std::vector<uint8_t>(64));
    return t.bytes();
}

TEST(ColourErrors, TiffForms) {
    Outcome o = Attempt(ReadFile(FixturePath("tiff_rgb_packbits.tif")));
    EXPECT_LT(o.recognised, 0);
    EXPECT_EQ(o.code, pixdoc::kErrTiffUnsupported);

    const auto grey = ReadFile(FixturePath("tiff_grey.tif"));
    EXPECT_EQ(Attempt(With16(grey, 2, 0x012A)).code, pixdoc::kErrNotTiff);  // still "II*"
    EXPECT_EQ(Attempt(With32(grey, 4, 0)).code, pixdoc::kErrTiffIfdOffset);

    // A JPEG page in several strips, and one whose strip offsets are bytes.
    EXPECT_EQ(Attempt(Tiff({{256, 3, 16},
                            {257, 3, 16},
                            {258, 3, 24},
                            {259, 3, 7},
                            {273, 4, 100},
                            {278, 3, 8}}))
                  .code,
              pixdoc::kErrTiffUnsupported);
    EXPECT_EQ(
        Attempt(Tiff({{256, 3, 16}, {257, 3, 16}, {258, 3, 8}, {259, 3, 6}, {273, 1, 100}})).code,
        pixdoc::kErrStripOffsetType);
    // 16-bit grey is not among the accepted forms.
    EXPECT_EQ(Attempt(Tiff({{256, 3, 16}, {257, 3, 16}, {258, 3, 16}, {273, 4, 100}})).code,
              pixdoc::kErrTiffUnsupported);
    // Strips beyond the end of the file.
    o = Attempt(Tiff({{256, 3, 16}, {257, 3, 16}, {258, 3, 8}, {273, 4, 5000}}));
    EXPECT_EQ(o.recognised, 0);
    EXPECT_EQ(o.code, pixdoc::kErrUnexpectedEnd);
    // A JPEG page in several strips as libtiff writes it.
    o = Attempt(ReadFile(FixturePath("tiff_jpeg_strips.tif")));
    EXPECT_LT(o.recognised, 0);
    EXPECT_EQ(o.code, pixdoc::kErrTiffUnsupported);
}

TEST(ColourErrors, JpegScanBeforeFrame) {
    const Outcome o = Attempt(
        {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00, 0xFF, 0xD9});
    EXPECT_LT(o.recognised, 0);
    EXPECT_EQ(o.code, 20);
    EXPECT_EQ(PX_GetColorError(), 20);
    EXPECT_STREQ(PX_GetColorErrorText(20), "Could not find Start of Frame marker in a JPEG file.");
}

TEST(ColourErrors, UnknownBytesAndShortSources) {
    EXPECT_EQ(Attempt({'P', 'K', 3, 4, 0, 0, 0, 0}).code, pixdoc::kErrHeaderId);
    EXPECT_EQ(Attempt({'B', 'M', 0}).code, pixdoc::kErrRead);
    EXPECT_EQ(Attempt({}).code, pixdoc::kErrRead);
}

}  // namespace
