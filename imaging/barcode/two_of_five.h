// Decoders of the 2 of 5 family (decoder.h contract), both reading in either direction and
// framing the digits with asterisks; the threshold is the narrow/wide threshold in pixels.
#pragma once

#include "imaging/barcode/decoder.h"

namespace pixdoc::barcode {

// Interleaved 2 of 5: digit pairs, bars carrying the first digit and spaces the second; any
// even number of digits; no check digit.
bool DecodeInterleaved2of5(const LineView& line, int threshold, bool merge_single_pixels,
                           DecodeContext& context, Candidate& out);

// IATA 2 of 5: data in the bars only (spaces are gaps); exactly 15 digits.
bool DecodeIata2of5(const LineView& line, int threshold, bool merge_single_pixels,
                    DecodeContext& context, Candidate& out);

}  // namespace pixdoc::barcode
