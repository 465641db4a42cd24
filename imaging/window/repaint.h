// The repaint of an image window and what follows it: the painted pixels and the colour error
// text shown through the host, the scroll bars set, the display callback called.
#pragma once

#include <cstdint>

#include "imaging/window/window_state.h"

namespace pixdoc {

inline constexpr int32_t kPaintMessage = 15;

// Paints the window, shows it, writes the colour error text of a colour page that could not be
// decoded at the top-left corner, and sets the scroll bars.
void Repaint(WindowState& w);

// Tells the host the scroll bars of the current view when they changed (all hidden when the
// window hides them).
void UpdateScrollBars(WindowState& w);

// The end of a repaint that no export is running: the display callback (slot 5) is called, then
// the tick count and the painted rectangle are recorded.
void AfterRepaint(WindowState& w);

// Milliseconds since an arbitrary start, wrapping.
int32_t TickCount();

}  // namespace pixdoc
