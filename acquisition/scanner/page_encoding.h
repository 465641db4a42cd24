// A page's image coded for its file: one TIFF directory, or a JFIF stream.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <vector>

#include "acquisition/scanner/page_pix.h"

namespace scantora {

// Writes `pix` as the next directory of `tiff`, with its resolution: 1 bpp as one Group 4
// strip, 8 bpp grey and 32 bpp colour as one JPEG strip at libjpeg `quality`.
bool WriteTiffPage(TIFF* tiff, PIX* pix, int quality);

// `pix` (8 or 32 bpp) as a baseline JFIF stream with its resolution in dots per inch.
bool EncodeJpeg(PIX* pix, int quality, std::vector<std::uint8_t>& out);

// The rows of `pix` packed one after another (1 bpp MSB first, 8 bpp, or RGB for 32 bpp).
std::vector<std::uint8_t> PackedRows(PIX* pix);

}  // namespace scantora
