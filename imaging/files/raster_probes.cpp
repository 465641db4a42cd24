#include "imaging/files/raster_probes.h"

#include <cstring>

#include "imaging/decode/byte_order.h"
#include "imaging/files/orientation.h"

namespace pixdoc::files {
namespace {

constexpr int32_t kDcMinSide = 256;
constexpr int32_t kMaxSide = 8192;
constexpr int32_t kMinSide = 32;
constexpr int32_t kFixedHeaderMaxSide = 12000;
constexpr int32_t kDcWideWidth = 2000;
constexpr int32_t kDcNarrowResolution = 200;
constexpr int32_t kDcWideResolution = 300;
constexpr int32_t kPageChainResolution = 300;
constexpr char kDirSectMagic[] = "DiR-sEcT";

bool InRange(int32_t v, int32_t low, int32_t high) {
    return v >= low && v <= high;
}

// Bilevel code of the fixed-header format, or -1.
int32_t FixedHeaderCode(uint16_t compression, uint16_t options) {
    switch (compression) {
        case 1:
            return PX_CODE_UNCOMPRESSED;
        case 2:
            return PX_CODE_GROUP3_1D;
        case 3:
            if (options & 1) return PX_CODE_GROUP3_2D;
            if (options & 2) return PX_CODE_MODIFIED_HUFFMAN;
            return PX_CODE_GROUP3_1D;
        case 4:
            return PX_CODE_GROUP4;
        case 32773:
            return PX_CODE_PACKBITS;
        default:
            return -1;
    }
}

}  // namespace

bool ProbeDcFormat(const ProbeSource& source, ImageHeader& header) {
    uint8_t h[kRasterHeaderSize];
    if (!ReadWhole(source, 0, h, sizeof h) || h[0] != 0xDC) return false;
    const int32_t height = Le16(h + 6), width = Le16(h + 8);
    if (!InRange(height, kDcMinSide, kMaxSide) || !InRange(width, kDcMinSide, kMaxSide))
        return false;
    header.height = height;
    header.width = width;
    header.fill_order = h[13] == 0 ? 1 : 0;
    header.compression = PX_CODE_GROUP4;
    header.data_offset = kRasterDataOffset;
    header.x_resolution = header.y_resolution =
        width < kDcWideWidth ? kDcNarrowResolution : kDcWideResolution;
    return true;
}

bool ProbeCdAbFormat(const ProbeSource& source, ImageHeader& header) {
    uint8_t h[kRasterHeaderSize];
    if (!ReadWhole(source, 0, h, sizeof h) || h[0] != 0xCD || h[1] != 0xAB) return false;
    const int32_t height = Le16(h + 6), width = Le16(h + 8);
    if (!InRange(height, kMinSide, kMaxSide) || !InRange(width, kMinSide, kMaxSide)) return false;
    header.height = height;
    header.width = width;
    header.compression = h[12];  // the format stores the library's own code
    header.y_resolution = Le16(h + 16);
    header.x_resolution = Le16(h + 18);
    header.fill_order = 0;
    header.data_offset = kRasterDataOffset;
    return true;
}

bool ProbeDirSectFormat(const ProbeSource& source, ImageHeader& header) {
    uint8_t h[kRasterHeaderSize];
    if (!ReadWhole(source, 0, h, sizeof h) || std::memcmp(h, kDirSectMagic, 8) != 0) return false;
    const int32_t width = Le16(h + 45), height = Le16(h + 47);
    if (!InRange(height, kMinSide, kMaxSide) || !InRange(width, kMinSide, kMaxSide)) return false;
    header.x_resolution = Le16(h + 41);
    header.y_resolution = Le16(h + 43);
    header.width = width;
    header.height = height;
    header.data_offset = Le16(h + 55);
    header.compression = PX_CODE_GROUP4;
    header.fill_order = 1;
    return true;
}

int64_t FindPageRecord(const ProbeSource& source, int32_t page, uint8_t* record_header,
                       bool require_zero_second_byte) {
    // Every step moves forward by at least a record header, so the walk ends with the file.
    int64_t at = 0;
    for (int32_t current = 1;; ++current) {
        if (!ReadWhole(source, at, record_header, kPageRecordHeaderSize)) return -1;
        if (record_header[0] != kPageRecordMark) return -1;
        if (require_zero_second_byte && record_header[1] != 0) return -1;
        if (current == page) return at;
        at += kPageRecordHeaderSize + int64_t{Le32(record_header + 8)};
    }
}

bool ProbePageChain(const ProbeSource& source, int32_t page, ImageHeader& header) {
    uint8_t h[kPageRecordHeaderSize];
    const int64_t at = FindPageRecord(source, page, h, false);
    if (at < 0) return false;
    const int32_t width = 8 * int32_t{Le16(h + 4)}, height = Le16(h + 6);
    if (!InRange(height, kMinSide, kMaxSide) || !InRange(width, kMinSide, kMaxSide)) return false;
    header.width = width;
    header.height = height;
    header.compression = PX_CODE_GROUP4;
    header.fill_order = 1;
    header.x_resolution = header.y_resolution = kPageChainResolution;
    header.data_offset = static_cast<intptr_t>(at + kPageRecordHeaderSize);
    return true;
}

bool ProbeFixedHeader(const ProbeSource& source, ImageHeader& header) {
    if (source.memory) return false;
    uint8_t h[kFixedHeaderSize];
    if (!ReadWhole(source, 0, h, sizeof h)) return false;
    ByteOrder order;
    if (h[0] == 'n' && h[1] == 'n')
        order = ByteOrder::kLittle;
    else if (h[0] == 'N' && h[1] == 'N')
        order = ByteOrder::kBig;
    else
        return false;
    const int32_t code = FixedHeaderCode(Get16(h + 20, order), Get16(h + 22, order));
    const int32_t width = Get16(h + 64, order), height = Get16(h + 70, order);
    const int32_t turns = TurnsForOrientation(Get16(h + 72, order));
    if (code < 0 || turns < 0 || !InRange(width, kMinSide, kFixedHeaderMaxSide) ||
        !InRange(height, kMinSide, kFixedHeaderMaxSide))
        return false;
    header.compression = code;
    header.data_offset = static_cast<intptr_t>(Get32(h + 4, order));
    const uint32_t byte_count = Get32(h + 56, order);
    header.data_byte_count = byte_count > INT32_MAX ? INT32_MAX : static_cast<int32_t>(byte_count);
    header.width = width;
    header.height = height;
    header.orientation = turns;
    header.fill_order = Get16(h + 78, order) == 1 ? 0 : 1;
    header.x_resolution = Get16(h + 86, order);
    header.y_resolution = Get16(h + 88, order);
    return true;
}

}  // namespace pixdoc::files
