#include "acquisition/scanner/page_encoding.h"

#include <jpeglib.h>

#include "acquisition/scanner/group4_strip.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

namespace scantora {
namespace {

constexpr int kMaxJfifDensity = 65535;

void SetResolution(TIFF* tiff, PIX* pix) {
    const int x = pixGetXRes(pix), y = pixGetYRes(pix);
    if (x <= 0 || y <= 0) return;
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, static_cast<float>(x));
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, static_cast<float>(y));
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
}

struct JpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegFailure*>(info->err)->jump, 1);
}

void IgnoreJpegMessage(j_common_ptr) {}

struct JpegFrame {
    JDIMENSION width, height;
    int components;
    UINT16 density_x, density_y;
    int quality;
    const std::uint8_t* rows;
    size_t row_bytes;
};

// Runs the compression; kept free of objects with destructors because an error jumps out.
bool Compress(const JpegFrame& frame, unsigned char** buffer, unsigned long* size) {
    jpeg_compress_struct info{};
    JpegFailure failure;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = OnJpegError;
    failure.manager.output_message = IgnoreJpegMessage;
    if (setjmp(failure.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = frame.width;
    info.image_height = frame.height;
    info.input_components = frame.components;
    info.in_color_space = frame.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, frame.quality, TRUE);
    info.density_unit = 1;  // dots per inch
    info.X_density = frame.density_x;
    info.Y_density = frame.density_y;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPLE*>(frame.rows + info.next_scanline * frame.row_bytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

std::vector<std::uint8_t> PackedRows(PIX* pix) {
    const int width = pixGetWidth(pix), height = pixGetHeight(pix), depth = pixGetDepth(pix);
    const size_t row_bytes = depth == 1 ? (width + 7) / 8 : depth == 8 ? width : 3 * width;
    std::vector<std::uint8_t> rows(row_bytes * height);
    const l_uint32* data = pixGetData(pix);
    const int wpl = pixGetWpl(pix);
    for (int y = 0; y < height; ++y) {
        const l_uint32* line = data + static_cast<size_t>(y) * wpl;
        std::uint8_t* out = rows.data() + y * row_bytes;
        if (depth != 32) {
            PackWords(line, static_cast<int>(row_bytes), out);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            out[3 * x] = static_cast<std::uint8_t>(line[x] >> L_RED_SHIFT);
            out[3 * x + 1] = static_cast<std::uint8_t>(line[x] >> L_GREEN_SHIFT);
            out[3 * x + 2] = static_cast<std::uint8_t>(line[x] >> L_BLUE_SHIFT);
        }
    }
    return rows;
}

bool WriteTiffPage(TIFF* tiff, PIX* pix, int quality) {
    const int width = pixGetWidth(pix), height = pixGetHeight(pix), depth = pixGetDepth(pix);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(height));
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<std::uint32_t>(height));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    SetResolution(tiff, pix);
    if (depth == 1) {
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tiff, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    } else {
        const bool colour = depth == 32;
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, colour ? 3 : 1);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC,
                     colour ? PHOTOMETRIC_YCBCR : PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tiff, TIFFTAG_JPEGQUALITY, quality);
        if (colour) TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    // pixdoc32's writer codes a text page four times faster than libtiff's coder; libtiff
    // codes what the writer does not take.
    auto strip = depth == 1 ? Group4Strip(pix) : std::nullopt;
    if (strip) {
        if (TIFFWriteRawStrip(tiff, 0, strip->data(), static_cast<tmsize_t>(strip->size())) < 0)
            return false;
    } else {
        std::vector<std::uint8_t> rows = PackedRows(pix);
        if (TIFFWriteEncodedStrip(tiff, 0, rows.data(), static_cast<tmsize_t>(rows.size())) < 0)
            return false;
    }
    return TIFFWriteDirectory(tiff) != 0;
}

bool EncodeJpeg(PIX* pix, int quality, std::vector<std::uint8_t>& out) {
    const int depth = pixGetDepth(pix);
    if (depth != 8 && depth != 32) return false;
    const std::vector<std::uint8_t> rows = PackedRows(pix);
    const int components = depth == 8 ? 1 : 3;
    const JpegFrame frame{static_cast<JDIMENSION>(pixGetWidth(pix)),
                          static_cast<JDIMENSION>(pixGetHeight(pix)),
                          components,
                          static_cast<UINT16>(std::clamp(pixGetXRes(pix), 0, kMaxJfifDensity)),
                          static_cast<UINT16>(std::clamp(pixGetYRes(pix), 0, kMaxJfifDensity)),
                          quality,
                          rows.data(),
                          static_cast<size_t>(pixGetWidth(pix)) * components};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = Compress(frame, &buffer, &size);
    if (ok) out.assign(buffer, buffer + size);
    std::free(buffer);
    return ok;
}

}  // namespace scantora
