// The image window's exports. Each works on the caller's current window and holds it for its
// duration (window_registry.h).
#include <new>

#include "imaging/window/page_loader.h"
#include "imaging/window/repaint.h"
#include "imaging/window/view_changes.h"
#include "imaging/window/window_host.h"
#include "imaging/window/window_registry.h"
#include "imaging/window/zoom.h"
#include "pixdoc32.h"
#include "pixdoc32_window_host.h"

namespace pixdoc {
namespace {

enum StartResult : int32_t { kCreated = 0, kNotCreated = 1, kTooManyWindows = 2, kInProgress = 3 };
enum Result : int32_t { kDone = 0, kRefused = 1 };

// The window's first title is its class name.
constexpr char kClassTitle[] = "Corvane Imaging's Image Procedure";
// A top-level window of this kind has no caption.
constexpr int32_t kNoCaptionKind = -1701;
// PX_PaintImage modes that keep the background.
constexpr int32_t kPaintKeepBackground = 1701;
constexpr int32_t kPaintKeepBackgroundNow = 4321;
constexpr int32_t kChosenOptionsBelow = 4;
constexpr int32_t kOptionBits = 3;

bool CoversParent(int32_t x, int32_t y, int32_t width, int32_t height) {
    return x < 0 || y < 0 || width < 1 || height < 1;
}

bool ValidSlot(int32_t slot) {
    return slot >= 0 && slot < kCallbackSlots;
}

}  // namespace
}  // namespace pixdoc

using namespace pixdoc;

PIXDOC_API int32_t PX_StartImageWindow(PixdocWindow parent, int32_t kind, int32_t x, int32_t y,
                                       int32_t width, int32_t height) {
    if (OperationInProgress()) return kInProgress;
    const int32_t slot = FreeSlot();
    if (slot < 0) return kTooManyWindows;
    std::shared_ptr<WindowState> w(new (std::nothrow) WindowState);
    if (!w) return kNotCreated;
    w->owner = host::OwnerOf(parent);
    w->parent = parent;
    const bool child = kind >= 1;
    int32_t flags = 0;
    if (child && CoversParent(x, y, width, height)) flags |= PIXDOC_CREATE_COVER_PARENT;
    if (!child && kind == kNoCaptionKind) flags |= PIXDOC_CREATE_NO_CAPTION;
    w->kind = child ? WindowKind::kChild : WindowKind::kTopLevel;
    {
        // Nested window operations are refused while the host makes the window.
        WindowHold hold(w);
        w->own = host::CreateWindow(parent, child ? PIXDOC_WINDOW_CHILD : PIXDOC_WINDOW_TOP_LEVEL,
                                    flags, x, y, width, height, kClassTitle);
    }
    // A failure leaves the slot free and the current window as it was.
    if (w->own == 0) return kNotCreated;
    Windows().slots[slot] = w;
    w->full_redraw = true;
    int32_t client_width = 0, client_height = 0;
    host::ClientSize(w->own, client_width, client_height);
    ResizeClient(*w, client_width, client_height);
    MakeCurrent(slot);
    return kCreated;
}

PIXDOC_API int32_t PX_SetImagePage(const char* name) {
    return PX_SetImageMultPage(name, 1);
}

PIXDOC_API int32_t PX_SetImageMultPage(const char* name, int32_t page) {
    if (OperationInProgress()) return kNoWindow;
    ExportHold hold;
    if (!hold.window()) return kNoWindow;
    return LoadPage(*hold.window(), name, page);
}

PIXDOC_API int32_t PX_SetDisplayImageArea(int32_t left, int32_t top, int32_t right,
                                          int32_t bottom) {
    ExportHold hold;
    WindowState* w = hold.window();
    if (!w || !w->loaded) return kRefused;
    ShowArea(*w, left, top, right, bottom);
    host::Invalidate(w->own, false, false);
    return kDone;
}

PIXDOC_API int32_t PX_ZoomImage(int32_t factor) {
    ExportHold hold;
    WindowState* w = hold.window();
    if (!w || !w->loaded) return kRefused;
    WinZoom(w->view, factor);
    host::Invalidate(w->own, false, false);
    return kDone;
}

PIXDOC_API int32_t PX_PaintImage(int32_t mode) {
    ExportHold hold;
    WindowState* w = hold.window();
    if (!w || !w->loaded) return kRefused;
    const bool keep_background = mode == kPaintKeepBackground || mode == kPaintKeepBackgroundNow;
    if (!keep_background) w->full_redraw = true;
    host::Invalidate(w->own, !keep_background, mode == kPaintKeepBackgroundNow);
    return kDone;
}

PIXDOC_API int32_t PX_SetImageScaling(int32_t mode) {
    ExportHold hold;
    WindowState* w = hold.window();
    if (!w) return kRefused;
    w->options = mode & kOptionBits;
    w->options_chosen = mode < kChosenOptionsBelow;
    return kDone;
}

PIXDOC_API PixdocWindow PX_GetImageWindowHandle(void) {
    ExportHold hold;
    return hold.window() ? hold.window()->own : 0;
}

PIXDOC_API int32_t PX_SetImageWindow(PixdocWindow window) {
    if (OperationInProgress()) return kRefused;
    const int32_t slot = SlotOf(window);
    if (slot < 0) return kRefused;
    MakeCurrent(slot);
    return kDone;
}

PIXDOC_API int32_t PX_SetCallback(int32_t slot, PixdocWindowCallback function) {
    ExportHold hold;
    if (!hold.window() || !ValidSlot(slot)) return kRefused;
    hold.window()->callbacks[slot] = function;
    return kDone;
}

PIXDOC_API int32_t PX_ClearCallback(int32_t slot) {
    return PX_SetCallback(slot, nullptr);
}

PIXDOC_API int32_t PX_ReportCallbackTime(int32_t slot) {
    ExportHold hold;
    if (!hold.window() || !ValidSlot(slot)) return 0;
    return hold.window()->callback_ticks[slot];
}
