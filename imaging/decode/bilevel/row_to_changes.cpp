#include "imaging/decode/bilevel/row_to_changes.h"

#include <bit>
#include <cstring>

#include "imaging/decode/bilevel/change_list.h"

namespace pixdoc::bilevel {
namespace {

constexpr int kWordBits = 64;
constexpr int kWordBytes = 8;

// The next 64 pixels from `row` at byte `offset`, first pixel highest; bytes at or past
// `row_bytes` read as white.
uint64_t LoadWord(const uint8_t* row, int offset, int row_bytes) {
    if (offset + kWordBytes <= row_bytes) {
        uint64_t w;
        std::memcpy(&w, row + offset, kWordBytes);
        if constexpr (std::endian::native == std::endian::little) w = __builtin_bswap64(w);
        return w;
    }
    uint64_t w = 0;
    for (int i = 0; i < kWordBytes; ++i)
        w = (w << 8) | (offset + i < row_bytes ? row[offset + i] : 0u);
    return w;
}

}  // namespace

int RowToChanges(const uint8_t* row, int width, int16_t* changes) {
    const int row_bytes = (width + 7) / 8;
    int count = 0;
    uint64_t colour = 0;  // all ones while inside a black run
    // Bound: `x` steps through the row's words; every change written lies below `width`, and
    // changes are strictly ascending, so count stays below width.
    for (int x = 0; x < width; x += kWordBits) {
        uint64_t diff = LoadWord(row, x / 8, row_bytes) ^ colour;
        while (diff != 0) {
            const int bit = std::countl_zero(diff);
            const int position = x + bit;
            if (position >= width) break;
            changes[count++] = int16_t(position);
            colour = ~colour;
            // The pixels after this one, compared with the new colour.
            const uint64_t after = bit == kWordBits - 1 ? 0u : (~uint64_t{0} >> (bit + 1));
            diff = ~diff & after;
        }
    }
    for (int i = 0; i < kRowSentinels; ++i)
        changes[count + i] = int16_t(width);
    return count;
}

}  // namespace pixdoc::bilevel
