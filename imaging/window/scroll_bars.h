// The scroll bars of a view: their ranges and box positions, and how each scroll action moves
// the view. The bar along the page's rows or columns depends on the orientation; pages of 65536
// pixels or more along either side use halved values on both bars.
#pragma once

#include <array>
#include <cstdint>

#include "pixdoc32.h"
#include "pixdoc32_window_host.h"

namespace pixdoc {

inline constexpr int32_t kHalvedBarsFrom = 65536;
// The move of the scroll actions that go to an end, in window pixels (at least).
inline constexpr int32_t kEndMove = 16000;
// Default steps: a tenth and a half of the output size along the bar.
inline constexpr int32_t kLineStepDivisor = 10;
inline constexpr int32_t kPageStepDivisor = 2;

struct ScrollBarSetting {
    bool shown = false;
    int32_t maximum = 0;  // the range runs from 0
    int32_t position = 0;
    int32_t page = 0;  // visible part, the box's length
    bool operator==(const ScrollBarSetting&) const = default;
};

// Indexed by PIXDOC_BAR_HORIZONTAL and PIXDOC_BAR_VERTICAL.
using ScrollBarLayout = std::array<ScrollBarSetting, 2>;

// A window's own steps for one bar; 0 takes the default.
struct ScrollSteps {
    int32_t line = 0, page = 0;
};

// The bars for the view's current visible area; a bar whose whole extent is visible is hidden.
ScrollBarLayout LayOutScrollBars(const ImageHeader& view);

// Puts the first column or row that `bar` shows at the box's `position` (halved values are
// doubled back) and recomputes the visible area.
void MoveToBoxPosition(ImageHeader& view, int32_t bar, int32_t position);

// The move of a step or end action (PIXDOC_SCROLL_*) along `bar`, in window pixels; 0 for the
// box actions.
int32_t ScrollMove(const ImageHeader& view, const ScrollSteps& steps, int32_t bar, int32_t action);

}  // namespace pixdoc
