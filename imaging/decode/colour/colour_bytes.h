// What the colour readers share about their containers' headers: little-endian fields (read
// from bytes the caller has already bounds-checked) and the largest dimension they accept.
#pragma once

#include <cstdint>

#include "imaging/decode/byte_order.h"

namespace pixdoc {

// Largest width or height the colour readers accept; larger values mean a damaged header.
inline constexpr int32_t kMaxColourDimension = 65535;

}  // namespace pixdoc
