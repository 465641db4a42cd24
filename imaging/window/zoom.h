// Fitting an area of a page into an output size: the scales (output pixels per 2048 source
// pixels) that keep the page's physical proportions, and the visible part of the page. Shared by
// the image window and the colour edit merge.
#pragma once

#include <cstdint>

#include "pixdoc32.h"

namespace pixdoc {

inline constexpr int32_t kScaleOne = 2048;
inline constexpr int32_t kMinScale = 32;
inline constexpr int32_t kMaxScale = 32000;
// Zooming by a factor may go further out than fitting an area does.
inline constexpr int32_t kMinZoomScale = 16;
// Areas narrower or lower than this keep the one-to-one scale.
inline constexpr int32_t kMinZoomArea = 17;
inline constexpr int32_t kDefaultResolution = 100;
inline constexpr int32_t kMinResolution = 5;
inline constexpr int32_t kMaxResolution = 8192;

// Fits the area (x0, y0)-(x1, y1) of the page described by `view` (width, height, resolutions,
// orientation) into its output size and output resolutions: sets both scales, the first column
// and row and the visible area. Resolutions outside 5..8192 are replaced by 100 in `view`.
void WinZoomPoints(ImageHeader& view, int32_t x0, int32_t y0, int32_t x1, int32_t y1);

// Fits the whole page into the output size.
void WinFullImage(ImageHeader& view);

// Multiplies both scales by factor / 2048 (rounded, held within 16..32000) and keeps the centre
// of the visible area where it was.
void WinZoom(ImageHeader& view, int32_t factor);

// Recomputes the visible source columns and rows for the current scales and moves the first
// column and row back so that the view stays on the page. Returns the visible rows.
int32_t ViewableArea(ImageHeader& view);

}  // namespace pixdoc
