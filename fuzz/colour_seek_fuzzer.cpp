// Fuzzes the colour barcode search over rasters of arbitrary pixels, sizes, rectangles,
// thresholds and options.
//
// Input: a 24-byte head, then pixel bytes, repeated as often as the raster needs them.
//   0-1 width, 2-3 height (each 1 to 512), 4 direction, 5 grey threshold, 6-7 mask, 8 first
//   threshold, 9 second threshold (both signed), 10 span (low 3 bits, signed), 11 flags (bit 0
//   no single bits, bit 1 insert data, bit 2 leave the marks, bit 3 Code 128 without check
//   character), 12 zone height, 13 minimum length (signed), 14 max results (signed), 15 Codabar
//   minimum, 16-23 x1, y1, x2, y2 (signed 16-bit; x1 = -1 for the whole raster), then pixels.
#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/barcode/colour_seek.h"

namespace {

constexpr size_t kHead = 24;
constexpr int kLargestSide = 512;
constexpr int kResultSize = 600;

int16_t Read16(const uint8_t* p) {
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}

int Side(const uint8_t* p) {
    return 1 + (p[0] | (p[1] << 8)) % kLargestSide;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pixdoc::barcode;
    if (size <= kHead) return 0;
    const int width = Side(data);
    const int height = Side(data + 2);
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    const size_t given = size - kHead;
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = data[kHead + i % given];

    SeekOptions options;
    const uint8_t flags = data[11];
    options.no_single_bits = flags & 1;
    options.insert_data = (flags >> 1) & 1;
    options.leave_invert_flag = (flags >> 2) & 1;
    options.decoder.code128_no_checksum = (flags >> 3) & 1;
    options.zone_height = data[12];
    options.decoder.codabar_min_size = static_cast<int8_t>(data[15]);

    ColourSeekArguments a;
    a.direction = data[4];
    a.grey_threshold = data[5];
    a.frame.mask = static_cast<uint16_t>(data[6] | (data[7] << 8));
    a.frame.threshold = static_cast<int8_t>(data[8]);
    a.frame.threshold2 = static_cast<int8_t>(data[9]);
    a.frame.span = static_cast<int8_t>(data[10] << 5) >> 5;
    a.frame.min_length = static_cast<int8_t>(data[13]);
    a.frame.max_results = static_cast<int8_t>(data[14]);
    a.x1 = Read16(data + 16);
    a.y1 = Read16(data + 18);
    a.x2 = Read16(data + 20);
    a.y2 = Read16(data + 22);
    // The result buffer is a heap block of exactly its size: ASan sees any overflow.
    std::vector<char> result(kResultSize);
    a.result = result.data();
    a.result_size = kResultSize;

    BarcodeStatus status;
    const ColourRaster raster{pixels.data(), width, height};
    const int32_t r = SeekColourRaster(raster, a, options, 200, status);
    if (std::memchr(result.data(), 0, result.size()) == nullptr) __builtin_trap();
    if (r == kColourFound && result[0] == '\0') __builtin_trap();
    if (r == kColourNothingFound && result[0] != '\0') __builtin_trap();
    return 0;
}
