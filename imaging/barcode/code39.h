// Code 39 decoders of the per-line step (decoder.h contract).
//
// DecodeCode39 (mask bit 1) needs the "*" start and stop characters and reads either direction;
// a symbol read from its right end comes back in reading order with the read-backwards mark.
// DecodeCode39Nude (mask bit 512) reads a run of data characters without start and stop, left
// to right only, and frames it with "*". Neither checks a check character nor translates full
// ASCII. Both fail for thresholds below 2.
#pragma once

#include "imaging/barcode/decoder.h"

namespace pixdoc::barcode {

bool DecodeCode39(const LineView& line, int threshold, bool merge_single_pixels,
                  DecodeContext& context, Candidate& out);
bool DecodeCode39Nude(const LineView& line, int threshold, bool merge_single_pixels,
                      DecodeContext& context, Candidate& out);

}  // namespace pixdoc::barcode
