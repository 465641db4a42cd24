// The Codabar decoder (decoder.h contract): reads in either direction against the narrow/wide
// threshold, keeps the start and stop letters in the text, checks no check character, and
// applies the context's Codabar minimum size.
#pragma once

#include "imaging/barcode/decoder.h"

namespace pixdoc::barcode {

bool DecodeCodabar(const LineView& line, int threshold, bool merge_single_pixels,
                   DecodeContext& context, Candidate& out);

}  // namespace pixdoc::barcode
