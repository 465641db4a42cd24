#include "imaging/cleanup/page_rotation.h"

#include <cmath>

namespace pixdoc::cleanup {
namespace {

constexpr int kFractionBits = 16;
constexpr int64_t kOne = int64_t(1) << kFractionBits;

int64_t Fixed(double v) {
    return std::llround(v * double(kOne));
}

}  // namespace

// An output pixel shows the source pixel that a clockwise turn by the angle carries it to: the
// page was turned clockwise by that much when its lines came to descend. Source positions are
// stepped along each row in 16.16 fixed point.
bilevel::PageBitmap Straightened(const bilevel::PageBitmap& page, int32_t rise, int32_t run) {
    bilevel::PageBitmap out;
    out.width = page.width;
    out.height = page.height;
    out.row_bytes = page.row_bytes;
    out.rows.assign(page.rows.size(), 0);
    const double angle = std::atan(double(rise) / double(run));
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double cx = page.width / 2.0;
    const double cy = page.height / 2.0;
    const int64_t step_x = Fixed(c);
    const int64_t step_y = Fixed(s);
    for (int32_t y = 0; y < out.height; ++y) {
        // The source of the centre of pixel (0, y).
        const double dy = y + 0.5 - cy;
        const double dx = 0.5 - cx;
        int64_t sx = Fixed(cx + dx * c - dy * s);
        int64_t sy = Fixed(cy + dx * s + dy * c);
        uint8_t* row = out.Row(y);
        // Bound: x stays within the row; source pixels are read only inside the page.
        for (int32_t x = 0; x < out.width; ++x, sx += step_x, sy += step_y) {
            if (sx < 0 || sy < 0) continue;
            const int64_t px = sx >> kFractionBits;
            const int64_t py = sy >> kFractionBits;
            if (px >= page.width || py >= page.height) continue;
            if (page.IsSet(int32_t(px), int32_t(py))) row[x / 8] |= uint8_t(0x80 >> (x % 8));
        }
    }
    return out;
}

}  // namespace pixdoc::cleanup
