// The Code 93 decoders (decoder.h contract), one algorithm with the two shift numberings. The
// threshold is the width of one symbol character (9 modules) in pixels. Both check characters
// are verified with the type's own values, full-ASCII shift pairs are translated, and the text
// is framed with asterisks. A symbol printed upside down is read from the right edge, in reading
// order, without a read-backwards mark.
#pragma once

#include "imaging/barcode/decoder.h"

namespace pixdoc::barcode {

// "Code 93": shifts numbered ($) 43, (/) 44, (+) 45, (%) 46.
bool DecodeCode93(const LineView& line, int threshold, bool merge_single_pixels,
                  DecodeContext& context, Candidate& out);

// "Code 93 Type 2": the standard numbering ($) 43, (%) 44, (/) 45, (+) 46.
bool DecodeCode93Type2(const LineView& line, int threshold, bool merge_single_pixels,
                       DecodeContext& context, Candidate& out);

}  // namespace pixdoc::barcode
