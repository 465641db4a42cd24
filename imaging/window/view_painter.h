// Painting a window's view of its page into the window's pixel buffer (client size, pixels
// 0xFFRRGGBB): only the visible part of the page is decoded, at the view's scales, and placed by
// the orientation; the client area outside the page is background.
#pragma once

#include <cstdint>

#include "imaging/window/window_state.h"

namespace pixdoc {

inline constexpr uint32_t kBackground = 0xFFFFFFFFu;
inline constexpr uint32_t kWhitePixel = 0xFFFFFFFFu;
inline constexpr uint32_t kBlackPixel = 0xFF000000u;

// The bilevel decoding options the window uses when the caller chose none: when a page is
// reduced, rows are ORed together and thin black runs kept, so that strokes stay visible (not
// on a negative page, whose set bits are white).
int32_t DisplayOptions(const WindowState& w);

// Fills w.pixels (w.client_width x w.client_height) and returns the client rectangle that shows
// the page (empty when no page is shown).
PaintedRect PaintView(WindowState& w);

}  // namespace pixdoc
