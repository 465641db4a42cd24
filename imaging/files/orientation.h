// The orientation tag value of TIFF and of the raster headers that copy it, as quarter turns.
#pragma once

#include <cstdint>

namespace pixdoc::files {

// Quarter turns for an orientation value, or -1 for values that say nothing.
inline int32_t TurnsForOrientation(uint32_t orientation) {
    switch (orientation) {
        case 1:
            return 0;
        case 3:
            return 2;
        case 6:
            return 1;
        case 8:
            return 3;
        default:
            return -1;
    }
}

}  // namespace pixdoc::files
