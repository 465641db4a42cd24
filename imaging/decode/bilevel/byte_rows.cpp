// Byte-oriented run-length rows: PCX and PackBits.
#include <cstring>

#include "imaging/decode/bilevel/line_codings.h"
#include "imaging/decode/packbits.h"

namespace pixdoc::bilevel {
namespace {

constexpr uint8_t kPcxRunMark = 0xC0;
constexpr uint8_t kPcxCountMask = 0x3F;

// The row's coded bytes: data[position, size).
struct RowBytes {
    const uint8_t* data;
    int32_t size;
    int32_t& position;

    int NextByte() { return position < size ? data[position++] : -1; }
    bool Take(uint8_t* out, int32_t n) {
        if (!Skip(n)) return false;
        std::memcpy(out, data + position - n, size_t(n));
        return true;
    }
    bool Skip(int32_t n) {
        if (n > size - position) return false;
        position += n;
        return true;
    }
};

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
    // Each row is coded on its own: a run that goes on past the row's end is cut there.
    RowBytes in{data, size, position};
    PackBitsRun run;
    const bool ok = run.Fill(in, row, (width + 7) / 8) && run.Drop(in);
    return ok ? kLineGood : kLineEnd;
}

}  // namespace pixdoc::bilevel
