// The band decoder's scaling, cutting and turning done the slow way from a 1:1 bitmap: the
// reference that Decompress and the image window's painting are compared with.
#pragma once

#include <algorithm>
#include <cstdint>

#include "tests/imaging/decode/bilevel_pages.h"

namespace pixdoc::bilevel::testing {

// The output rectangle: size, scales in 2048ths, first column and row, option bits.
struct View {
    int out_w, out_h, hscale, vscale, first_col, first_row, options = 0;
};

// The described mapping, pixel by pixel: source column c (from the first column) covers
// output columns [map(c), map(c + 1)); rows follow the vertical accumulator. rows_out receives
// the number of output rows the source lines filled (a row begun by ORed lines counts).
inline Bitmap Reference(const Bitmap& src, const View& v, int* rows_out = nullptr) {
    Bitmap out(v.out_w, v.out_h);
    const int vis_w = std::min(src.width - v.first_col, v.out_w * 2048 / v.hscale);
    const int vis_h = std::min(src.height - v.first_row, v.out_h * 2048 / v.vscale);
    auto map = [&](int c) { return std::min<int>((1024 + int64_t(c) * v.hscale) / 2048, v.out_w); };
    auto paint = [&](int line, int row) {
        int run_start = -1;
        for (int c = 0; c <= vis_w; ++c) {
            const bool black = c < vis_w && src.Get(v.first_col + c, line);
            if (black && run_start < 0) run_start = c;
            if (!black && run_start >= 0) {
                int from = map(run_start), to = map(c);
                if (from == to && (v.options & 2)) to = from + 1;
                for (int x = from; x < std::min(to, v.out_w); ++x)
                    out.Set(x, row);
                run_start = -1;
            }
        }
    };
    int acc = v.vscale < 2048 ? 2047 : 0, row = 0;
    bool pending = false;
    for (int line = v.first_row; line < v.first_row + vis_h && row < v.out_h; ++line) {
        acc += v.vscale;
        pending = acc < 2048;
        if (acc >= 2048 || (v.options & 1)) paint(line, row);
        while (acc >= 2048 && row < v.out_h) {
            acc -= 2048;
            if (++row < v.out_h && acc >= 2048) paint(line, row);
        }
    }
    if (rows_out) *rows_out = std::min(row + (pending && (v.options & 1) ? 1 : 0), v.out_h);
    return out;
}

// The upright output turned by an orientation as the band decoder turns its bands.
inline Bitmap Turn(const Bitmap& b, int orientation) {
    if (orientation == 0) return b;
    Bitmap out = orientation == 2 ? Bitmap(b.width, b.height) : Bitmap(b.height, b.width);
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            if (!b.Get(x, y)) continue;
            if (orientation == 1) out.Set(b.height - 1 - y, x);
            if (orientation == 2) out.Set(b.width - 1 - x, b.height - 1 - y);
            if (orientation == 3) out.Set(y, b.width - 1 - x);
        }
    return out;
}

}  // namespace pixdoc::bilevel::testing
