// Reading 16- and 32-bit numbers from byte buffers in either byte order: the probes and the
// readers share them.
#pragma once

#include <cstdint>

namespace pixdoc {

enum class ByteOrder { kLittle, kBig };

inline uint16_t Get16(const uint8_t* p, ByteOrder order) {
    return order == ByteOrder::kLittle ? static_cast<uint16_t>(p[0] | p[1] << 8)
                                       : static_cast<uint16_t>(p[0] << 8 | p[1]);
}

inline uint32_t Get32(const uint8_t* p, ByteOrder order) {
    const uint32_t b0 = p[0], b1 = p[1], b2 = p[2], b3 = p[3];
    return order == ByteOrder::kLittle ? (b0 | b1 << 8 | b2 << 16 | b3 << 24)
                                       : (b0 << 24 | b1 << 16 | b2 << 8 | b3);
}

inline uint16_t Le16(const uint8_t* p) {
    return Get16(p, ByteOrder::kLittle);
}
inline uint32_t Le32(const uint8_t* p) {
    return Get32(p, ByteOrder::kLittle);
}

}  // namespace pixdoc
