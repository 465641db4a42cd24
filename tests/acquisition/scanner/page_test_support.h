// Helpers of the imaging control tests: fixture paths, page rows, and pages as libtiff and
// libjpeg read them, the references the control's files are checked against.
#pragma once

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

// libjpeg's header needs FILE declared first.
#include <jpeglib.h>

#include "acquisition/scanner/imaging_control.h"
#include "acquisition/scanner/page_pix.h"

namespace scantora::testing {

using Rows = std::vector<std::vector<std::uint8_t>>;

inline std::filesystem::path Fixture(const std::string& name) {
    return std::filesystem::path(TEST_FIXTURE_DIR) / "scanner_pages" / name;
}

inline Rows RowsOf(const Page& page) {
    Rows rows(static_cast<size_t>(page.Height()),
              std::vector<std::uint8_t>(static_cast<size_t>(page.BytesPerRow())));
    for (int y = 0; y < page.Height(); ++y)
        page.ReadRow(y, rows[static_cast<size_t>(y)]);
    return rows;
}

inline Page Loaded(const std::filesystem::path& path, int page = 1) {
    Page loaded;
    EXPECT_EQ(LoadPage(path, page, 0, loaded), ImagingStatus::kOk) << path;
    return loaded;
}

// The value of pixel (x, y) of a bilevel page, 1 for black.
inline int Bit(const Rows& rows, int x, int y) {
    return (rows[static_cast<size_t>(y)][static_cast<size_t>(x / 8)] >> (7 - x % 8)) & 1;
}

// A bilevel page of random pixels: it codes badly, so its file is large.
inline Page NoisePage(int width, int height, unsigned seed, int dpi = 300) {
    PixPtr pix(pixCreate(width, height, 1));
    std::mt19937 random(seed);
    l_uint32* data = pixGetData(pix.get());
    const size_t words = static_cast<size_t>(pixGetWpl(pix.get())) * height;
    for (size_t i = 0; i < words; ++i)
        data[i] = static_cast<l_uint32>(random());
    pixSetPadBits(pix.get(), 0);
    pixSetResolution(pix.get(), dpi, dpi);
    return PageAccess::Adopt(std::move(pix));
}

// One page as libtiff reads it.
struct TiffPage {
    std::uint32_t width = 0, height = 0;
    std::uint16_t compression = 0, photometric = 0, bits = 0, samples = 0;
    float x_resolution = 0;
    Rows rows;                      // bilevel pages only, 1 for black
    std::vector<std::uint8_t> raw;  // the bytes of the page's first strip
};

inline std::vector<TiffPage> ReadTiffPages(const std::filesystem::path& path) {
    std::vector<TiffPage> pages;
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff) return pages;
    do {
        TiffPage page;
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &page.width);
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &page.height);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &page.compression);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &page.bits);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &page.samples);
        TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &page.photometric);
        TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &page.x_resolution);
        const tmsize_t raw_size = TIFFRawStripSize(tiff, 0);
        if (raw_size > 0) {
            page.raw.resize(static_cast<size_t>(raw_size));
            TIFFReadRawStrip(tiff, 0, page.raw.data(), raw_size);
        }
        if (page.bits == 1) {
            const size_t row_bytes = (page.width + 7) / 8;
            const std::uint8_t last_mask =
                static_cast<std::uint8_t>(0xFF << ((8 - page.width % 8) % 8));
            for (std::uint32_t y = 0; y < page.height; ++y) {
                std::vector<std::uint8_t> row(static_cast<size_t>(TIFFScanlineSize(tiff)));
                if (TIFFReadScanline(tiff, row.data(), y) < 0) break;
                row.resize(row_bytes);
                for (auto& b : row)
                    if (page.photometric == PHOTOMETRIC_MINISBLACK)
                        b = static_cast<std::uint8_t>(~b);
                row.back() &= last_mask;
                page.rows.push_back(row);
            }
        }
        pages.push_back(std::move(page));
    } while (TIFFReadDirectory(tiff));
    TIFFClose(tiff);
    return pages;
}

// A JPEG file as libjpeg decodes it.
struct JpegFacts {
    int width = 0, height = 0, components = 0, density = 0;
    std::vector<std::uint8_t> pixels;
};

inline JpegFacts DecodeJpeg(const std::filesystem::path& path) {
    JpegFacts facts;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return facts;
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    facts.width = static_cast<int>(info.output_width);
    facts.height = static_cast<int>(info.output_height);
    facts.components = info.output_components;
    facts.density = info.X_density;
    facts.pixels.resize(static_cast<size_t>(facts.width) * facts.height * facts.components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = facts.pixels.data() +
                       static_cast<size_t>(info.output_scanline) * facts.width * facts.components;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return facts;
}

}  // namespace scantora::testing
