#include "imaging/window/zoom.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace pixdoc {
namespace {

bool ResolutionUsable(int32_t dpi) {
    return dpi >= kMinResolution && dpi <= kMaxResolution;
}

void NormaliseResolutions(int32_t& x, int32_t& y) {
    if (!ResolutionUsable(x) || !ResolutionUsable(y)) x = y = kDefaultResolution;
}

bool Turned(const ImageHeader& view) {
    return view.orientation == 1 || view.orientation == 3;
}

int32_t HoldScale(int64_t scale, int32_t minimum = kMinScale) {
    return static_cast<int32_t>(std::clamp<int64_t>(scale, minimum, kMaxScale));
}

int64_t ZoomScale(int32_t scale, int32_t factor) {
    return (static_cast<int64_t>(scale) * factor + kScaleOne / 2) / kScaleOne;
}

// Visible source pixels along one axis and the first one, kept on the page.
int32_t VisibleAlong(int32_t size, int32_t output, int32_t scale, int32_t& first) {
    if (first >= size || first < 0) first = 0;
    const int64_t fits = scale > 0 ? static_cast<int64_t>(output) * kScaleOne / scale : size;
    const int32_t visible = static_cast<int32_t>(std::min<int64_t>(size, fits));
    if (first + visible > size) first = std::max(0, size - visible);
    return visible;
}

}  // namespace

void WinZoomPoints(ImageHeader& view, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    NormaliseResolutions(view.x_resolution, view.y_resolution);
    NormaliseResolutions(view.output_x_resolution, view.output_y_resolution);
    int32_t out_x = view.output_width, out_y = view.output_height;
    int32_t out_xres = view.output_x_resolution, out_yres = view.output_y_resolution;
    if (Turned(view)) {
        std::swap(out_x, out_y);
        std::swap(out_xres, out_yres);
    }
    const int64_t area_width = std::llabs(static_cast<int64_t>(x1) - x0);
    const int64_t area_height = std::llabs(static_cast<int64_t>(y1) - y0);
    if (out_x == 0 || out_y == 0 || area_width < kMinZoomArea || area_height < kMinZoomArea) {
        view.horizontal_scale = view.vertical_scale = kScaleOne;
        return;
    }
    int64_t sx = std::min<int64_t>(static_cast<int64_t>(out_x) * kScaleOne / area_width, kMaxScale);
    int64_t sy =
        std::min<int64_t>(static_cast<int64_t>(out_y) * kScaleOne / area_height, kMaxScale);
    // Physical magnifications; the larger one gives way so that proportions are kept.
    const int64_t a = view.x_resolution * sx / out_xres;
    const int64_t b = view.y_resolution * sy / out_yres;
    if (a > b) sx = b * out_xres / view.x_resolution;
    if (a < b) sy = a * out_yres / view.y_resolution;
    view.horizontal_scale = HoldScale(sx);
    view.vertical_scale = HoldScale(sy);
    view.first_column = std::min(x0, x1);
    view.first_row = std::min(y0, y1);
    ViewableArea(view);
}

void WinFullImage(ImageHeader& view) {
    WinZoomPoints(view, 0, 0, view.width, view.height);
}

void WinZoom(ImageHeader& view, int32_t factor) {
    ViewableArea(view);
    const int32_t old_columns = view.visible_source_width;
    const int32_t old_rows = view.visible_source_height;
    view.horizontal_scale = HoldScale(ZoomScale(view.horizontal_scale, factor), kMinZoomScale);
    view.vertical_scale = HoldScale(ZoomScale(view.vertical_scale, factor), kMinZoomScale);
    ImageHeader grown = view;
    ViewableArea(grown);
    view.first_column -= (grown.visible_source_width - old_columns) / 2;
    view.first_row -= (grown.visible_source_height - old_rows) / 2;
    ViewableArea(view);
}

int32_t ViewableArea(ImageHeader& view) {
    int32_t out_x = view.output_width, out_y = view.output_height;
    if (Turned(view)) std::swap(out_x, out_y);
    view.visible_source_width =
        VisibleAlong(view.width, out_x, view.horizontal_scale, view.first_column);
    view.visible_source_height =
        VisibleAlong(view.height, out_y, view.vertical_scale, view.first_row);
    return view.visible_source_height;
}

}  // namespace pixdoc
