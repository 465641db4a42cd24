// What the colour readers and the JPEG decoder deliver per pixel; the caller of a decoding run
// chooses it.
#pragma once

#include <cstdint>

namespace pixdoc {

enum class ColourOutputMode : int32_t {
    kPaletteIndex = 0,  // one byte per pixel, an index into the palette
    kGrey = 1,          // one byte per pixel, a grey level (the palette holds the grey ramp)
    kRgb = 3,           // three bytes per pixel: red, green, blue
};

}  // namespace pixdoc
