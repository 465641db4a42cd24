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
    constexpr uint64_t kFirstPixel = uint64_t{1} << (kWordBits - 1);
    const int row_bytes = (width + 7) / 8;
    int count = 0;
    uint64_t left = 0;  // the pixel left of the word, in the top bit: white before the row
    // Bound: `x` steps through the row's words; every change written lies below `width`, and
    // changes are strictly ascending, so count stays below width.
    for (int x = 0; x < width; x += kWordBits) {
        const uint64_t pixels = LoadWord(row, x / 8, row_bytes);
        // A set bit wherever a pixel differs from the one left of it.
        uint64_t changed = pixels ^ ((pixels >> 1) | left);
        left = pixels << (kWordBits - 1);
        if (const int inside = width - x; inside < kWordBits)
            changed &= ~(~uint64_t{0} >> inside);  // the padding holds no changes
        while (changed != 0) {
            const int bit = std::countl_zero(changed);
            changes[count++] = int16_t(x + bit);
            changed ^= kFirstPixel >> bit;
        }
    }
    for (int i = 0; i < kRowSentinels; ++i)
        changes[count + i] = int16_t(width);
    return count;
}

}  // namespace pixdoc::bilevel
