// Window and page coordinates of a view in its four orientations, and moving the view by window
// pixels. W and H are the view's output width and height, s and t its scales, (c, r) its first
// column and row; divisions truncate.
#pragma once

#include <cstdint>

#include "pixdoc32.h"

namespace pixdoc {

struct WindowPoint {
    int32_t x = 0, y = 0;
    bool operator==(const WindowPoint&) const = default;
};

// The page pixel under window point (x, y), held within 0..width and 0..height.
WindowPoint WindowToImage(const ImageHeader& view, int32_t x, int32_t y);

// The window point of page pixel (u, v) (not held: it may lie outside the window).
WindowPoint ImageToWindow(const ImageHeader& view, int32_t u, int32_t v);

// Moves the view so that window point (dx, dy) comes where (0, 0) was, never past the last
// column or row, and recomputes the visible area.
void WinMoveImage(ImageHeader& view, int32_t dx, int32_t dy);

}  // namespace pixdoc
