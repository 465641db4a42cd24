#include "imaging/window/view_changes.h"

#include <algorithm>

#include "imaging/window/coordinates.h"
#include "imaging/window/scroll_bars.h"
#include "imaging/window/window_host.h"
#include "imaging/window/zoom.h"

namespace pixdoc {
namespace {

int32_t RoundDown(int32_t value, int32_t step) {
    return std::max(value, 0) / step * step;
}

// A bar that the new view will have or lose changes the output size across it by its thickness.
void AllowForBar(bool bar_shown, bool area_covers_page, int32_t thickness, int32_t& output,
                 int32_t step) {
    if (area_covers_page && bar_shown) output = RoundDown(output + thickness, step);
    if (!area_covers_page && !bar_shown) output = RoundDown(output - thickness, step);
}

}  // namespace

void ResizeClient(WindowState& w, int32_t width, int32_t height) {
    w.client_width = std::max(width, 0);
    w.client_height = std::max(height, 0);
    w.view.output_width = RoundDown(w.client_width, kOutputWidthStep);
    w.view.output_height = RoundDown(w.client_height, kOutputHeightStep);
    if (w.loaded) ViewableArea(w.view);
}

bool ScrollView(WindowState& w, int32_t bar, int32_t action, int32_t position) {
    if (!w.loaded || (bar != PIXDOC_BAR_HORIZONTAL && bar != PIXDOC_BAR_VERTICAL)) return false;
    if (action == PIXDOC_SCROLL_BOX_DRAGGED && w.track_thumb != 1) return false;
    if (action == PIXDOC_SCROLL_BOX_RELEASED || action == PIXDOC_SCROLL_BOX_DRAGGED) {
        MoveToBoxPosition(w.view, bar, position);
        return true;
    }
    const int32_t move = ScrollMove(w.view, w.steps[bar], bar, action);
    if (move == 0) return false;
    if (bar == PIXDOC_BAR_HORIZONTAL)
        WinMoveImage(w.view, move, 0);
    else
        WinMoveImage(w.view, 0, move);
    return true;
}

void ShowArea(WindowState& w, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    ImageHeader& v = w.view;
    if (!w.scroll_bars_hidden) {
        const int32_t thickness = host::ScrollBarExtent();
        const bool covers_columns = left < 1 && right >= v.width;
        const bool covers_rows = top < 1 && bottom >= v.height;
        // The bar along the page's columns is the horizontal one unless the page is turned a
        // quarter; a horizontal bar takes from the output height, a vertical one from the width.
        const bool turned = v.orientation == 1 || v.orientation == 3;
        const bool columns_bar_shown =
            w.bars[turned ? PIXDOC_BAR_VERTICAL : PIXDOC_BAR_HORIZONTAL].shown;
        const bool rows_bar_shown =
            w.bars[turned ? PIXDOC_BAR_HORIZONTAL : PIXDOC_BAR_VERTICAL].shown;
        if (turned) {
            AllowForBar(columns_bar_shown, covers_columns, thickness, v.output_width,
                        kOutputWidthStep);
            AllowForBar(rows_bar_shown, covers_rows, thickness, v.output_height, kOutputHeightStep);
        } else {
            AllowForBar(columns_bar_shown, covers_columns, thickness, v.output_height,
                        kOutputHeightStep);
            AllowForBar(rows_bar_shown, covers_rows, thickness, v.output_width, kOutputWidthStep);
        }
    }
    WinZoomPoints(v, left, top, right, bottom);
}

}  // namespace pixdoc
