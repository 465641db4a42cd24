// The byte helpers exported by the library: bit reversal (fill order) and inversion.
#include <array>
#include <cstddef>

#include "pixdoc32.h"

namespace {

constexpr std::array<uint8_t, 256> BuildReversal() {
    std::array<uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) {
        int r = 0;
        for (int b = 0; b < 8; ++b)
            if (i & (1 << b)) r |= 0x80 >> b;
        t[std::size_t(i)] = uint8_t(r);
    }
    return t;
}

constexpr std::array<uint8_t, 256> kReversed = BuildReversal();

}  // namespace

PIXDOC_API int32_t XchgBytes(uint8_t* buffer, int32_t count) {
    if (!buffer) return 0;
    for (int32_t i = 0; i < count; ++i)
        buffer[i] = kReversed[buffer[i]];
    return 0;
}

PIXDOC_API int32_t InvertBytes(uint8_t* buffer, int32_t count) {
    if (!buffer) return 0;
    for (int32_t i = 0; i < count; ++i)
        buffer[i] = uint8_t(~buffer[i]);
    return 0;
}
