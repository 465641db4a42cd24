// The colour branch of pixdoc-decode: colour and grey pages are rendered through the colour edit
// buffer at the page's own size and written as binary PPM (P6).
#pragma once

#include <cstdint>

#include "pixdoc32.h"

// Writes page `page` of `file`, whose header is `header`, to `out`. Returns the exit status:
// 0 written; 1 failure (one line on stderr; a page whose decoding stopped is still written).
int WriteColourPage(const char* file, int32_t page, const ImageHeader& header, const char* out);
