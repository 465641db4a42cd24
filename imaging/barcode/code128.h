// The Code 128 decoder (decoder.h contract). The threshold is the width of one symbol character
// (11 modules) in pixels. Reads left to right and, when it met the stop character backwards,
// once more from right to left for a symbol printed upside down (its text in reading order,
// without a mark). Verifies the check character unless the context's no-checksum option is set
// (then the check character is data too). Delivers the bare data:
// the frame adds the asterisks. FNC1-FNC4 are the bytes 131, 130, 129, 128.
#pragma once

#include "imaging/barcode/decoder.h"

namespace pixdoc::barcode {

bool DecodeCode128(const LineView& line, int threshold, bool merge_single_pixels,
                   DecodeContext& context, Candidate& out);

}  // namespace pixdoc::barcode
