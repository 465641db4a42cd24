// A window host without a display: it records what the library asks of it (windows made,
// titles, scroll bars, repaint requests, the pixels and text shown) and, like a real host, gives
// up client space to the scroll bars it shows and reports the new client size at once.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "imaging/window/window_registry.h"
#include "pixdoc32_window_host.h"

namespace pixdoc::window_testing {

struct HostBar {
    bool shown = false;
    int32_t maximum = 0, position = 0, page = 0;
};

struct HostWindow {
    PixdocWindow parent = 0;
    int32_t kind = 0, flags = 0;
    int32_t x = 0, y = 0, width = 0, height = 0;  // the area asked for
    int32_t frame_width = 0, frame_height = 0;    // client size with the bars hidden
    std::string title;
    HostBar bars[2];
    int32_t invalidations = 0, erasing_invalidations = 0, immediate_invalidations = 0;
    std::vector<uint32_t> pixels;  // the last pixels shown, width x height
    int32_t pixels_width = 0, pixels_height = 0;
    std::vector<std::string> texts;  // text written over the last pixels shown
    int32_t client_width() const {
        return frame_width - (bars[PIXDOC_BAR_VERTICAL].shown ? bar_extent : 0);
    }
    int32_t client_height() const {
        return frame_height - (bars[PIXDOC_BAR_HORIZONTAL].shown ? bar_extent : 0);
    }
    int32_t bar_extent = 0;
    uint32_t Pixel(int32_t px, int32_t py) const { return pixels[size_t(py) * pixels_width + px]; }
};

class TestHost {
public:
    // Installs a fresh host over a fresh registry; parents are `parent_width` x
    // `parent_height`, scroll bars `bar_extent` thick.
    explicit TestHost(int32_t bar_extent = 0, int32_t parent_width = 800,
                      int32_t parent_height = 600)
        : bar_extent_(bar_extent), parent_width_(parent_width), parent_height_(parent_height) {
        ResetWindows();
        PixdocWindowHost h{};
        h.context = this;
        h.create_window = &CreateThunk;
        h.set_title = [](void* c, PixdocWindow w, const char* t) { Self(c).windows[w].title = t; };
        h.client_size = [](void* c, PixdocWindow w, int32_t* width, int32_t* height) {
            const HostWindow& hw = Self(c).windows[w];
            *width = hw.client_width();
            *height = hw.client_height();
        };
        h.set_scroll_bar = &ScrollBarThunk;
        h.invalidate = &InvalidateThunk;
        h.show_pixels = [](void* c, PixdocWindow w, const uint32_t* p, int32_t width,
                           int32_t height, int32_t stride) {
            HostWindow& hw = Self(c).windows[w];
            hw.pixels.assign(size_t(width) * height, 0);
            for (int32_t y = 0; y < height; ++y)
                std::copy(p + size_t(y) * stride, p + size_t(y) * stride + width,
                          hw.pixels.begin() + size_t(y) * width);
            hw.pixels_width = width;
            hw.pixels_height = height;
            hw.texts.clear();
            if (Self(c).on_show) Self(c).on_show(w);
        };
        h.draw_text = [](void* c, PixdocWindow w, int32_t, int32_t, const char* text) {
            Self(c).windows[w].texts.push_back(text);
        };
        h.owner_of = [](void* c, PixdocWindow w) { return Self(c).OwnerOf(w); };
        h.active_window = [](void* c) { return Self(c).active; };
        h.scroll_bar_extent = bar_extent;
        PX_SetWindowHost(&h);
    }
    ~TestHost() { ResetWindows(); }
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    // Makes a child window over a parent of its own (and that parent's owner) and returns it.
    PixdocWindow StartChild(uintptr_t owner = 1) {
        const PixdocWindow parent = NewParent(owner);
        return PX_StartImageWindow(parent, 1, 0, 0, 0, 0) == 0 ? PX_GetImageWindowHandle() : 0;
    }
    PixdocWindow NewParent(uintptr_t owner) {
        const PixdocWindow parent = next_handle_++;
        owners[parent] = owner;
        return parent;
    }
    // What a real host does when a repaint is due.
    int32_t Paint(PixdocWindow w) { return PX_WindowPaint(w); }

    std::map<PixdocWindow, HostWindow> windows;
    std::map<PixdocWindow, uintptr_t> owners;  // parents and the windows made in them
    PixdocWindow active = 0;
    bool refuse_windows = false;
    std::function<void(PixdocWindow)> on_create;  // called while a window is being made
    std::function<void(PixdocWindow)> on_show;    // called while a repaint shows its pixels

private:
    static TestHost& Self(void* c) { return *static_cast<TestHost*>(c); }

    uintptr_t OwnerOf(PixdocWindow w) const {
        const auto it = owners.find(w);
        return it == owners.end() ? 0 : it->second;
    }

    static PixdocWindow CreateThunk(void* c, PixdocWindow parent, int32_t kind, int32_t flags,
                                    int32_t x, int32_t y, int32_t width, int32_t height,
                                    const char* title) {
        TestHost& self = Self(c);
        if (self.refuse_windows) return 0;
        const PixdocWindow w = self.next_handle_++;
        HostWindow& hw = self.windows[w];
        hw.parent = parent, hw.kind = kind, hw.flags = flags;
        hw.x = x, hw.y = y, hw.width = width, hw.height = height;
        hw.title = title;
        hw.bar_extent = self.bar_extent_;
        const bool cover = (flags & PIXDOC_CREATE_COVER_PARENT) != 0;
        hw.frame_width = cover ? self.parent_width_ : width;
        hw.frame_height = cover ? self.parent_height_ : height;
        self.owners[w] = self.OwnerOf(parent);
        if (self.on_create) self.on_create(w);
        return w;
    }

    static void ScrollBarThunk(void* c, PixdocWindow w, int32_t bar, int32_t shown, int32_t maximum,
                               int32_t position, int32_t page) {
        HostWindow& hw = Self(c).windows[w];
        const bool changed = hw.bars[bar].shown != (shown != 0);
        hw.bars[bar] = HostBar{shown != 0, maximum, position, page};
        if (changed) PX_WindowResized(w, hw.client_width(), hw.client_height());
    }

    static void InvalidateThunk(void* c, PixdocWindow w, int32_t erase, int32_t immediate) {
        HostWindow& hw = Self(c).windows[w];
        ++hw.invalidations;
        hw.erasing_invalidations += erase ? 1 : 0;
        hw.immediate_invalidations += immediate ? 1 : 0;
        if (immediate) PX_WindowPaint(w);
    }

    int32_t bar_extent_, parent_width_, parent_height_;
    PixdocWindow next_handle_ = 100;
};

}  // namespace pixdoc::window_testing
