// The viewer's display modes and zoom factor as page areas: what part of a page a window shows
// at a zoom, so that the window only has to fit that area.
#pragma once

namespace scantora {

// Fit to window, fit to width, and the fixed zooms (25 % and 50 % share mode 2).
enum class DisplayMode {
    kFitToWindow = 0,
    kFitToWidth = 1,
    kZoomReduced = 2,
    kZoom100 = 3,
    kZoom200 = 4
};

struct PixelSize {
    int width = 0;
    int height = 0;
};

// A part of a page in page pixels; right and bottom are just outside it.
struct PageArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const PageArea&) const = default;
};

// The fixed-zoom mode a factor (percent) belongs to.
DisplayMode FixedZoomMode(double zoom);

// The zoom (percent: 100 shows one page pixel per window pixel) at which a fit mode shows
// `page` in `window`; 0 when either is empty.
double FitZoom(DisplayMode mode, PixelSize page, PixelSize window);

// The area a window of `window` pixels shows of `page` at `zoom`, centred on (centre_x,
// centre_y) and moved inside the page where the page is larger than the view.
PageArea AreaAtZoom(double zoom, PixelSize page, PixelSize window, double centre_x,
                    double centre_y);

}  // namespace scantora
