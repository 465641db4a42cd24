// Opening a colour or grey page for decoding, shared by the colour merge and the image window:
// the container recognised at the page's place in the file and the form of the delivered rows
// chosen.
#pragma once

#include <cstdint>

#include "imaging/decode/colour/colour_state.h"

namespace pixdoc {

// Prepares `state` over an open file (or memory image) handle for page `page` (from 1) whose
// data offset OpenImageHeader found, with `palette` as the palette table: recognises the
// container and chooses the output mode (24-bit pages as red-green-blue, palette containers as
// indices, other pages as grey levels, through a plain grey ramp when the container gave none).
// 0, or negative with the colour error code set.
int OpenColourPage(ColourDecoderState& state, int32_t file, int32_t page, intptr_t data_offset,
                   ColourPalette& palette);

// BMP and GIF hand their rows over in the file's order (bottom-up, interlace passes), each under
// its own row number; the other containers top-down.
bool DeliversInFileOrder(const ColourDecoderState& state);

}  // namespace pixdoc
