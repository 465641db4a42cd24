// What changes a window's view besides loading a page: a new client size, a scroll action and
// an area to show.
#pragma once

#include <cstdint>

#include "imaging/window/window_state.h"

namespace pixdoc {

// Drawable sizes are multiples of these, so that decoded rows align with bytes and bands.
inline constexpr int32_t kOutputWidthStep = 16;
inline constexpr int32_t kOutputHeightStep = 8;

// The client is now width x height: the output size follows, rounded down, and the visible
// area is recomputed.
void ResizeClient(WindowState& w, int32_t width, int32_t height);

// A scroll action (PIXDOC_SCROLL_*) on a bar. True when the view is to be repainted.
bool ScrollView(WindowState& w, int32_t bar, int32_t action, int32_t position);

// Fits the area of the page into the window, allowing first for the scroll bars the new view
// will have.
void ShowArea(WindowState& w, int32_t left, int32_t top, int32_t right, int32_t bottom);

}  // namespace pixdoc
