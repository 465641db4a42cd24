#include "acquisition/display_scale.h"

#include <algorithm>
#include <cmath>

namespace scantora {
namespace {

constexpr double kFullSize = 100.0;
constexpr double kZoom100 = 100.0;
constexpr double kZoom200 = 200.0;

bool Empty(PixelSize size) {
    return size.width <= 0 || size.height <= 0;
}

// [start, start + span) placed around `centre`, inside [0, limit) when it fits there.
void Place(double centre, double span, int limit, int& start, int& end) {
    double first = centre - span / 2;
    first = std::min(first, limit - span);
    first = std::max(first, 0.0);
    start = static_cast<int>(std::lround(first));
    end = start + std::max(1, static_cast<int>(std::lround(span)));
}

}  // namespace

DisplayMode FixedZoomMode(double zoom) {
    if (zoom < kZoom100) return DisplayMode::kZoomReduced;
    if (zoom < kZoom200) return DisplayMode::kZoom100;
    return DisplayMode::kZoom200;
}

double FitZoom(DisplayMode mode, PixelSize page, PixelSize window) {
    if (Empty(page) || Empty(window)) return 0;
    const double across = kFullSize * window.width / page.width;
    if (mode == DisplayMode::kFitToWidth) return across;
    return std::min(across, kFullSize * window.height / page.height);
}

PageArea AreaAtZoom(double zoom, PixelSize page, PixelSize window, double centre_x,
                    double centre_y) {
    PageArea area;
    if (zoom <= 0 || Empty(window)) return area;
    Place(centre_x, window.width * kFullSize / zoom, page.width, area.left, area.right);
    Place(centre_y, window.height * kFullSize / zoom, page.height, area.top, area.bottom);
    return area;
}

}  // namespace scantora
