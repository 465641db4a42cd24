// Byte-oriented run-length rows: PCX and PackBits.
#include <cstring>

#include "imaging/decode/bilevel/line_codings.h"

namespace pixdoc::bilevel {
namespace {

constexpr uint8_t kPcxRunMark = 0xC0;
constexpr uint8_t kPcxCountMask = 0x3F;
constexpr int kPackBitsLiteralMax = 127;
constexpr int kPackBitsNoOperation = 128;
constexpr int kPackBitsRepeatBase = 257;

}  // namespace

int32_t ExpandPcxRow(const uint8_t* data, int32_t size, int32_t& position, uint8_t* row,
                     int32_t width) {
    // A row ends at its last whole or partial byte, as the writer codes it (bilevel PCX pages
    // have widths in whole bytes, so they read the same either way).
    const int32_t row_bytes = (width + 7) / 8;
    int32_t written = 0;
    // Bound: `written` stays within row_bytes (a run is cut at the row's end, not carried
    // over); `position` stays below size, every step consumes at least one byte.
    while (written < row_bytes) {
        if (position >= size) return kLineEnd;
        const uint8_t b = data[position++];
        int count = 1;
        uint8_t value = b;
        if ((b & kPcxRunMark) == kPcxRunMark) {
            if (position >= size) return kLineEnd;
            count = b & kPcxCountMask;
            value = data[position++];
        }
        // PCX stores 1 for white: the row is inverted into 1 for black.
        const int n = count < row_bytes - written ? count : row_bytes - written;
        std::memset(row + written, uint8_t(~value), size_t(n));
        written += n;
    }
    return kLineGood;
}

int32_t ExpandPackBitsRow(const uint8_t* data, int32_t size, int32_t& position, uint8_t* row,
                          int32_t width) {
    const int32_t row_bytes = (width + 7) / 8;
    int32_t written = 0;
    // Bound: copies and repeats are cut at row_bytes; `position` stays below size, every
    // header consumes one byte.
    while (written < row_bytes) {
        if (position >= size) return kLineEnd;
        const int n = data[position++];
        if (n == kPackBitsNoOperation) continue;  // TIFF PackBits: a no-operation
        if (n <= kPackBitsLiteralMax) {
            const int count = n + 1;
            if (position + count > size) return kLineEnd;
            const int take = count < row_bytes - written ? count : row_bytes - written;
            std::memcpy(row + written, data + position, size_t(take));
            position += count;
            written += take;
        } else {
            if (position >= size) return kLineEnd;
            const int count = kPackBitsRepeatBase - n;
            const int take = count < row_bytes - written ? count : row_bytes - written;
            std::memset(row + written, data[position++], size_t(take));
            written += take;
        }
    }
    return kLineGood;
}

}  // namespace pixdoc::bilevel
