// Loading a page into an image window: the header read into the view record, the page fitted
// into the window, a colour page decoded into its strips, the title of a top-level window.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/window/window_state.h"

namespace pixdoc {

enum LoadResult : int32_t { kPageShown = 0, kNoWindow = 1, kPageNotOpened = 2 };

// Loads page `page` (from 1) of `name`; an empty name or a page below 1 unloads. kPageShown or
// kPageNotOpened (nothing stays loaded).
int32_t LoadPage(WindowState& w, const char* name, int32_t page);

// "name    [page of pages]", or "NO IMAGE" without a page.
std::string WindowTitle(const WindowState& w);

}  // namespace pixdoc
