// One image window's state: the page it shows, its view record, the scroll bars it has set and
// its caller functions. Zero-filled at creation; the registry (window_registry.h) owns it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/window/colour_strips.h"
#include "imaging/window/scroll_bars.h"
#include "pixdoc32.h"

namespace pixdoc {

inline constexpr int32_t kCallbackSlots = 8;
inline constexpr int32_t kDisplayCallbackSlot = 5;

enum class WindowKind : int32_t { kTopLevel = 1, kChild = 2 };

// A strip table the window was handed with its page; freed with the next page.
struct StripTableDeleter {
    void operator()(PixdocStripTable* table) const;
};
using StripTablePtr = std::unique_ptr<PixdocStripTable, StripTableDeleter>;

// The area of the client that the last repaint drew.
struct PaintedRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct WindowState {
    WindowKind kind = WindowKind::kChild;
    PixdocWindow parent = 0, own = 0;
    uintptr_t owner = 0;

    // The page shown; the name is empty when nothing is loaded.
    std::string file_name;
    int32_t page = 0;
    bool loaded = false;
    // The view record: the page's header, the output (client) size and the view fields.
    ImageHeader view{};
    StripTablePtr strip_table;
    ColourStrips colour;       // colour and grey pages
    int32_t colour_error = 0;  // colour error code when the colour page could not be decoded

    // Bilevel pages with a set negative flag are shown inverted.
    bool honour_negative = true;
    int32_t negative = 0;
    // Decoding options of bilevel pages, when the caller chose them (else the window does).
    int32_t options = 0;
    bool options_chosen = false;
    bool full_redraw = false;
    bool scroll_bars_hidden = false;
    std::array<ScrollSteps, 2> steps{};  // by bar
    int32_t track_thumb = 0;
    ScrollBarLayout bars{};  // what the host was last told

    // Client size as the host last reported it (the output size is this, rounded down).
    int32_t client_width = 0, client_height = 0;
    std::vector<uint32_t> pixels;  // the repaint's buffer, kept between repaints

    std::array<PixdocWindowCallback, kCallbackSlots> callbacks{};
    std::array<int32_t, kCallbackSlots> callback_ticks{};
    PaintedRect painted;
};

// Frees what the shown page holds (strip table, colour strips) and forgets the page.
void ReleasePage(WindowState& w);

}  // namespace pixdoc
