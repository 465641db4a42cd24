#include "imaging/decode/bilevel/band_turn.h"

#include <cstring>

namespace pixdoc::bilevel {
namespace {

inline int Pixel(const uint8_t* row, int x) {
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}
inline void Set(uint8_t* row, int x) {
    row[x >> 3] |= uint8_t(0x80 >> (x & 7));
}

}  // namespace

void TurnBand(const uint8_t* band, int rows, int width, int orientation, uint8_t* turned) {
    const int row_bytes = width / 8;
    std::memset(turned, 0, size_t(rows) * size_t(row_bytes));
    if (orientation == 2) {
        for (int r = 0; r < rows; ++r) {
            const uint8_t* src = band + size_t(r) * row_bytes;
            uint8_t* dst = turned + size_t(rows - 1 - r) * row_bytes;
            for (int x = 0; x < width; ++x)
                if (Pixel(src, x)) Set(dst, width - 1 - x);
        }
        return;
    }
    const int turned_bytes = rows / 8;
    // Bound: source pixel (r, x) with r < rows, x < width lands in turned row x (or width-1-x)
    // at column rows-1-r (or r), inside width rows of turned_bytes bytes.
    for (int r = 0; r < rows; ++r) {
        const uint8_t* src = band + size_t(r) * row_bytes;
        for (int xb = 0; xb < row_bytes; ++xb) {
            if (src[xb] == 0) continue;  // white bytes cost nothing
            for (int bit = 0; bit < 8; ++bit) {
                if (!(src[xb] & (0x80 >> bit))) continue;
                const int x = xb * 8 + bit;
                if (orientation == 1)
                    Set(turned + size_t(x) * turned_bytes, rows - 1 - r);
                else
                    Set(turned + size_t(width - 1 - x) * turned_bytes, r);
            }
        }
    }
}

}  // namespace pixdoc::bilevel
