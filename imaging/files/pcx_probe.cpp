#include "imaging/files/pcx_probe.h"

#include <cstring>

#include "imaging/decode/byte_order.h"

namespace pixdoc::files {
namespace {

constexpr int32_t kEncodingOffset = 2;
constexpr int32_t kBitsPerPixelOffset = 3;
constexpr int32_t kPlanesOffset = 65;
constexpr int32_t kBytesPerLineOffset = 66;
constexpr int32_t kDcxTableOffset = 4;
// A fax-width DCX page claiming more than fax resolution is taken as 200 dpi.
constexpr int32_t kFaxWidthMin = 1601;
constexpr int32_t kFaxWidthMax = 1728;
constexpr int32_t kFaxResolutionLimit = 300;
constexpr int32_t kFaxResolution = 200;

// Describes a bilevel PCX page from its 128-byte header; false when it is not one.
bool ReadPcxHeader(const ProbeSource& source, int64_t offset, ImageHeader& page) {
    uint8_t h[kPcxHeaderSize];
    if (!ReadWhole(source, offset, h, kPcxHeaderSize)) return false;
    if (h[kEncodingOffset] != 1 || h[kBitsPerPixelOffset] != 1 || h[kPlanesOffset] != 1)
        return false;
    int32_t width = (int32_t{Le16(h + 8)} - Le16(h + 4) + 1 + 7) / 8 * 8;
    if (width < kPcxMinWidth || width > kPcxMaxWidth) return false;
    const int32_t bytes_per_line = Le16(h + kBytesPerLineOffset);
    if (bytes_per_line != 0 && 8 * bytes_per_line != width) width = 8 * bytes_per_line;
    // The row length may widen the page, but not beyond what the width check allows.
    if (width < kPcxMinWidth || width > kPcxMaxWidth) return false;
    const int32_t height = int32_t{Le16(h + 10)} - Le16(h + 6) + 1;
    if (height < 1) return false;
    page.width = width;
    page.height = height;
    page.x_resolution = Le16(h + 12);
    page.y_resolution = Le16(h + 14);
    page.compression = PX_CODE_PCX;
    page.fill_order = 0;
    page.data_offset = static_cast<intptr_t>(offset + kPcxHeaderSize);
    return true;
}

}  // namespace

bool ProbeBilevelPcx(const ProbeSource& source, ImageHeader& header) {
    ImageHeader page = header;
    if (!ReadPcxHeader(source, 0, page)) return false;
    header = page;
    return true;
}

bool ProbeDcx(const ProbeSource& source, int32_t page_number, ImageHeader& header) {
    if (page_number < 1 || page_number > kMaxDcxPages) return false;
    uint8_t magic[4];
    if (!ReadWhole(source, 0, magic, sizeof magic) ||
        std::memcmp(magic, kDcxMagic, sizeof magic) != 0)
        return false;
    uint8_t entry[4];
    if (!ReadWhole(source, kDcxTableOffset + 4 * int64_t{page_number - 1}, entry, sizeof entry))
        return false;
    const uint32_t offset = Le32(entry);
    if (offset == 0) return false;
    ImageHeader page = header;
    if (!ReadPcxHeader(source, offset, page)) return false;
    if (page.width >= kFaxWidthMin && page.width <= kFaxWidthMax &&
        page.x_resolution > kFaxResolutionLimit)
        page.x_resolution = kFaxResolution;
    header = page;
    return true;
}

}  // namespace pixdoc::files
