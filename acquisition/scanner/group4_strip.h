// A bilevel page coded as one Group 4 strip by pixdoc32's compression writer.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "acquisition/scanner/page_pix.h"

namespace scantora {

// The coded bytes of the 1 bpp `pix` (1 black), ended by the end-of-facsimile-block; nothing
// when the writer does not take the page (wider than it codes) or runs out of memory.
std::optional<std::vector<std::uint8_t>> Group4Strip(PIX* pix);

}  // namespace scantora
