#include "imaging/window/scroll_bars.h"

#include <algorithm>

#include "imaging/window/zoom.h"

namespace pixdoc {
namespace {

// Which page axis a bar follows in an orientation, and whether its position counts from the
// far end of that axis.
struct BarAxis {
    bool along_rows;  // false: along the page's columns (image x)
    bool from_far_end;
};

// [orientation][bar]
constexpr BarAxis kBarAxes[4][2] = {
    {{false, false}, {true, false}},
    {{true, true}, {false, false}},
    {{false, true}, {true, true}},
    {{true, false}, {false, true}},
};

BarAxis AxisOf(const ImageHeader& view, int32_t bar) {
    return kBarAxes[view.orientation & 3][bar == PIXDOC_BAR_VERTICAL ? 1 : 0];
}

bool Halved(const ImageHeader& view) {
    return view.width >= kHalvedBarsFrom || view.height >= kHalvedBarsFrom;
}

struct AxisView {
    int32_t size, visible;
    int32_t* first;
};

AxisView Along(ImageHeader& view, const BarAxis& axis) {
    if (axis.along_rows) return {view.height, view.visible_source_height, &view.first_row};
    return {view.width, view.visible_source_width, &view.first_column};
}

}  // namespace

ScrollBarLayout LayOutScrollBars(const ImageHeader& view) {
    ImageHeader v = view;
    const int32_t divisor = Halved(view) ? 2 : 1;
    ScrollBarLayout layout;
    for (int32_t bar : {PIXDOC_BAR_HORIZONTAL, PIXDOC_BAR_VERTICAL}) {
        const BarAxis axis = AxisOf(v, bar);
        const AxisView a = Along(v, axis);
        const int32_t range = std::max(a.size - a.visible, 0);
        const int32_t position = axis.from_far_end ? a.size - *a.first - a.visible : *a.first;
        ScrollBarSetting& s = layout[bar];
        s.shown = range > 0;
        s.maximum = range / divisor;
        s.position = std::clamp(position, 0, range) / divisor;
        s.page = a.visible / divisor;
    }
    return layout;
}

void MoveToBoxPosition(ImageHeader& view, int32_t bar, int32_t position) {
    const BarAxis axis = AxisOf(view, bar);
    const AxisView a = Along(view, axis);
    const int64_t at = int64_t(position) * (Halved(view) ? 2 : 1);
    const int64_t first = axis.from_far_end ? int64_t(a.size) - a.visible - at : at;
    *a.first = static_cast<int32_t>(std::clamp<int64_t>(first, 0, std::max(a.size - 1, 0)));
    ViewableArea(view);
}

int32_t ScrollMove(const ImageHeader& view, const ScrollSteps& steps, int32_t bar, int32_t action) {
    const bool vertical = bar == PIXDOC_BAR_VERTICAL;
    const int32_t output = vertical ? view.output_height : view.output_width;
    const int32_t line = steps.line > 0 ? steps.line : output / kLineStepDivisor;
    const int32_t page = steps.page > 0 ? steps.page : output / kPageStepDivisor;
    // The ends are reached whatever the zoom: at least the page's extent in window pixels.
    const int64_t extent = int64_t(std::max(view.width, view.height)) *
                           std::max(view.horizontal_scale, view.vertical_scale) / kScaleOne;
    const int32_t end =
        static_cast<int32_t>(std::clamp<int64_t>(extent + 1, kEndMove, INT32_MAX / 2));
    switch (action) {
        case PIXDOC_SCROLL_LINE_BACK:
            return -line;
        case PIXDOC_SCROLL_LINE_FORWARD:
            return line;
        case PIXDOC_SCROLL_PAGE_BACK:
            return -page;
        case PIXDOC_SCROLL_PAGE_FORWARD:
            return page;
        case PIXDOC_SCROLL_TO_START:
            return -end;
        case PIXDOC_SCROLL_TO_END:
            return end;
        default:
            return 0;
    }
}

}  // namespace pixdoc
