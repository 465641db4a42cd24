// Calls into the installed window host; functions the host left NULL (or no host at all) are
// skipped and give empty answers.
#pragma once

#include <cstdint>
#include <string>

#include "pixdoc32_window_host.h"

namespace pixdoc::host {

PixdocWindow CreateWindow(PixdocWindow parent, int32_t kind, int32_t flags, int32_t x, int32_t y,
                          int32_t width, int32_t height, const char* title);
void SetTitle(PixdocWindow window, const std::string& title);
// 0 x 0 when the host does not tell.
void ClientSize(PixdocWindow window, int32_t& width, int32_t& height);
void SetScrollBar(PixdocWindow window, int32_t bar, bool shown, int32_t maximum, int32_t position,
                  int32_t page);
void Invalidate(PixdocWindow window, bool erase, bool immediate);
void ShowPixels(PixdocWindow window, const uint32_t* pixels, int32_t width, int32_t height,
                int32_t stride);
void DrawText(PixdocWindow window, int32_t x, int32_t y, const char* text);
uintptr_t OwnerOf(PixdocWindow window);
PixdocWindow ActiveWindow();
int32_t ScrollBarExtent();

}  // namespace pixdoc::host
