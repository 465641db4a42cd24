#include "imaging/window/repaint.h"

#include <chrono>

#include "imaging/window/view_painter.h"
#include "imaging/window/window_host.h"

namespace pixdoc {

void Repaint(WindowState& w) {
    w.painted = PaintView(w);
    w.full_redraw = false;
    host::ShowPixels(w.own, w.pixels.data(), w.client_width, w.client_height, w.client_width);
    if (w.loaded && w.colour_error != 0)
        host::DrawText(w.own, 0, 0, PX_GetColorErrorText(w.colour_error));
    UpdateScrollBars(w);
}

void UpdateScrollBars(WindowState& w) {
    ScrollBarLayout wanted{};
    if (w.loaded && !w.scroll_bars_hidden) wanted = LayOutScrollBars(w.view);
    for (int32_t bar : {PIXDOC_BAR_HORIZONTAL, PIXDOC_BAR_VERTICAL}) {
        if (wanted[bar] == w.bars[bar]) continue;
        w.bars[bar] = wanted[bar];
        const ScrollBarSetting& s = wanted[bar];
        // Showing or hiding a bar resizes the client: the host reports it back at once.
        host::SetScrollBar(w.own, bar, s.shown, s.maximum, s.position, s.page);
    }
}

void AfterRepaint(WindowState& w) {
    if (PixdocWindowCallback display = w.callbacks[kDisplayCallbackSlot])
        display(w.own, kPaintMessage, 0, 0);
    w.callback_ticks[kDisplayCallbackSlot] = TickCount();
}

int32_t TickCount() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<int32_t>(static_cast<uint32_t>(ms));
}

}  // namespace pixdoc
