// Installing the window host, and the events it sends: each names its window.
#include "imaging/window/repaint.h"
#include "imaging/window/view_changes.h"
#include "imaging/window/window_host.h"
#include "imaging/window/window_registry.h"
#include "pixdoc32_window_host.h"

namespace pixdoc {
namespace {

enum Result : int32_t { kDone = 0, kRefused = 1 };

std::shared_ptr<WindowState> WindowOf(PixdocWindow handle) {
    const int32_t slot = SlotOf(handle);
    return slot >= 0 ? Windows().slots[slot] : nullptr;
}

}  // namespace
}  // namespace pixdoc

using namespace pixdoc;

PIXDOC_API int32_t PX_SetWindowHost(const PixdocWindowHost* host) {
    if (!host || WindowCount() > 0) return kRefused;
    Windows().host = *host;
    Windows().host_installed = true;
    return kDone;
}

PIXDOC_API int32_t PX_WindowResized(PixdocWindow window, int32_t width, int32_t height) {
    const std::shared_ptr<WindowState> w = WindowOf(window);
    if (!w) return kRefused;
    WindowHold hold(w);
    ResizeClient(*w, width, height);
    return kDone;
}

PIXDOC_API int32_t PX_WindowScrolled(PixdocWindow window, int32_t bar, int32_t action,
                                     int32_t position) {
    const std::shared_ptr<WindowState> w = WindowOf(window);
    if (!w) return kRefused;
    WindowHold hold(w);
    if (ScrollView(*w, bar, action, position)) host::Invalidate(w->own, false, false);
    return kDone;
}

PIXDOC_API int32_t PX_WindowPaint(PixdocWindow window) {
    const std::shared_ptr<WindowState> w = WindowOf(window);
    if (!w) return kRefused;
    {
        WindowHold hold(w);
        Repaint(*w);
    }
    if (!OperationInProgress()) AfterRepaint(*w);
    return kDone;
}

PIXDOC_API int32_t PX_WindowDestroyed(PixdocWindow window) {
    const int32_t slot = SlotOf(window);
    if (slot < 0) return kRefused;
    CloseSlot(slot);
    return kDone;
}
