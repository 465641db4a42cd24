#include "imaging/window/window_host.h"

#include "imaging/window/window_registry.h"

namespace pixdoc::host {
namespace {

const PixdocWindowHost& Installed() {
    return Windows().host;
}

}  // namespace

PixdocWindow CreateWindow(PixdocWindow parent, int32_t kind, int32_t flags, int32_t x, int32_t y,
                          int32_t width, int32_t height, const char* title) {
    const PixdocWindowHost& h = Installed();
    return h.create_window
               ? h.create_window(h.context, parent, kind, flags, x, y, width, height, title)
               : 0;
}

void SetTitle(PixdocWindow window, const std::string& title) {
    const PixdocWindowHost& h = Installed();
    if (h.set_title) h.set_title(h.context, window, title.c_str());
}

void ClientSize(PixdocWindow window, int32_t& width, int32_t& height) {
    width = height = 0;
    const PixdocWindowHost& h = Installed();
    if (h.client_size) h.client_size(h.context, window, &width, &height);
    if (width < 0) width = 0;
    if (height < 0) height = 0;
}

void SetScrollBar(PixdocWindow window, int32_t bar, bool shown, int32_t maximum, int32_t position,
                  int32_t page) {
    const PixdocWindowHost& h = Installed();
    if (h.set_scroll_bar) h.set_scroll_bar(h.context, window, bar, shown, maximum, position, page);
}

void Invalidate(PixdocWindow window, bool erase, bool immediate) {
    const PixdocWindowHost& h = Installed();
    if (h.invalidate) h.invalidate(h.context, window, erase, immediate);
}

void ShowPixels(PixdocWindow window, const uint32_t* pixels, int32_t width, int32_t height,
                int32_t stride) {
    const PixdocWindowHost& h = Installed();
    if (h.show_pixels) h.show_pixels(h.context, window, pixels, width, height, stride);
}

void DrawText(PixdocWindow window, int32_t x, int32_t y, const char* text) {
    const PixdocWindowHost& h = Installed();
    if (h.draw_text) h.draw_text(h.context, window, x, y, text);
}

uintptr_t OwnerOf(PixdocWindow window) {
    const PixdocWindowHost& h = Installed();
    return h.owner_of ? h.owner_of(h.context, window) : 0;
}

PixdocWindow ActiveWindow() {
    const PixdocWindowHost& h = Installed();
    return h.active_window ? h.active_window(h.context) : 0;
}

int32_t ScrollBarExtent() {
    return Installed().scroll_bar_extent > 0 ? Installed().scroll_bar_extent : 0;
}

}  // namespace pixdoc::host
