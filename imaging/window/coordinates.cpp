#include "imaging/window/coordinates.h"

#include <algorithm>

#include "imaging/window/zoom.h"

namespace pixdoc {
namespace {

constexpr int64_t kHalf = kScaleOne / 2;

// A view without a page has no scales yet; it maps one to one.
int64_t Scale(int32_t scale) {
    return scale > 0 ? scale : kScaleOne;
}

// Window pixels to page pixels along one axis, from the first page pixel shown.
int64_t ToPage(int64_t window, int32_t scale, int32_t first) {
    return window * kScaleOne / Scale(scale) + first;
}

// Page pixels to window pixels along one axis, rounded.
int64_t ToWindow(int64_t page, int32_t scale, int32_t first) {
    return ((page - first) * Scale(scale) + kHalf) / kScaleOne;
}

int32_t Hold(int64_t value, int32_t limit) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, 0, std::max(limit, 0)));
}

}  // namespace

WindowPoint WindowToImage(const ImageHeader& view, int32_t x, int32_t y) {
    const int64_t w = view.output_width, h = view.output_height;
    const int32_t s = view.horizontal_scale, t = view.vertical_scale;
    const int32_t c = view.first_column, r = view.first_row;
    int64_t u = 0, v = 0;
    switch (view.orientation) {
        case 1:
            u = ToPage(y, s, c), v = ToPage(w - x, t, r);
            break;
        case 2:
            u = ToPage(w - x, s, c), v = ToPage(h - y, t, r);
            break;
        case 3:
            u = ToPage(h - y, s, c), v = ToPage(x, t, r);
            break;
        default:
            u = ToPage(x, s, c), v = ToPage(y, t, r);
            break;
    }
    return {Hold(u, view.width), Hold(v, view.height)};
}

WindowPoint ImageToWindow(const ImageHeader& view, int32_t u, int32_t v) {
    const int64_t w = view.output_width, h = view.output_height;
    const int64_t across = ToWindow(u, view.horizontal_scale, view.first_column);
    const int64_t down = ToWindow(v, view.vertical_scale, view.first_row);
    int64_t x = across, y = down;
    switch (view.orientation) {
        case 1:
            x = w - down, y = across;
            break;
        case 2:
            x = w - across, y = h - down;
            break;
        case 3:
            x = down, y = h - across;
            break;
        default:
            break;
    }
    return {static_cast<int32_t>(x), static_cast<int32_t>(y)};
}

void WinMoveImage(ImageHeader& view, int32_t dx, int32_t dy) {
    const WindowPoint from = WindowToImage(view, 0, 0);
    const WindowPoint to = WindowToImage(view, dx, dy);
    view.first_column = Hold(int64_t(view.first_column) + to.x - from.x, view.width - 1);
    view.first_row = Hold(int64_t(view.first_row) + to.y - from.y, view.height - 1);
    ViewableArea(view);
}

}  // namespace pixdoc
