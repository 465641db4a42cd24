// The grey threshold the adaptive colour search chooses from the page itself: the luminance that
// best separates ink from paper (Otsu's criterion over the area's luminance histogram).
#pragma once

#include <cstdint>

namespace pixdoc::barcode {

// The threshold the reader control passes unless told otherwise; the adaptive search replaces it.
inline constexpr int kDefaultGreyThreshold = 128;

// Pixels at or below the result are ink. `first` is the area's top-left pixel (three bytes),
// rows `row_bytes` apart; an empty or one-coloured area gives kDefaultGreyThreshold.
int PageGreyThreshold(const uint8_t* first, int64_t row_bytes, int width, int height);

}  // namespace pixdoc::barcode
