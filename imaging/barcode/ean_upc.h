// The EAN/UPC decoders (decoder.h contract). The threshold is the width of one digit (7
// modules) in pixels. Both read in either direction (a symbol read from the right has bit 7 on
// its leading asterisk), verify the check digit and frame the digits with asterisks.
#pragma once

#include "imaging/barcode/decoder.h"

namespace pixdoc::barcode {

// UPC-A: L and R digits only; "*" and the 12 digits and "*".
bool DecodeUpcA(const LineView& line, int threshold, bool merge_single_pixels,
                DecodeContext& context, Candidate& out);

// EAN-13: the leading digit follows from the L/G parity of digits 2-6; "*" and 13 digits and
// "*". A UPC-A symbol reads as EAN-13 with a leading 0.
bool DecodeEan13(const LineView& line, int threshold, bool merge_single_pixels,
                 DecodeContext& context, Candidate& out);

// EAN-8: "*" and the 8 digits and "*".
bool DecodeEan8(const LineView& line, int threshold, bool merge_single_pixels,
                DecodeContext& context, Candidate& out);

}  // namespace pixdoc::barcode
