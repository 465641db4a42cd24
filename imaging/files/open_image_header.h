// OpenImageHeader's recognition sequence, for use inside the library.
#pragma once

#include <cstdint>

#include "pixdoc32.h"

namespace pixdoc::files {

inline constexpr int32_t kOneToOneScale = 2048;

enum class HeaderResult : int32_t { kOk = 0, kNotOpened = 1, kUnknownFormat = 2 };

HeaderResult ReadImageHeader(const char* name, int32_t page, ImageHeader& header);

}  // namespace pixdoc::files
