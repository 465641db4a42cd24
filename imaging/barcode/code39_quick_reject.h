// Quick rejection for the Code 39 decoders. Text lines hold no Code 39 symbol, yet a decoder
// would walk each of them at every threshold of the sweep; these cheap walks over the same
// element stream (merged when the switch is on) look for what every read must contain, so that
// only a line that has it is decoded. Each answers false only where its decoder cannot read.
#pragma once

#include "imaging/barcode/decoder.h"

namespace pixdoc::barcode {

// False when DecodeCode39 cannot read on `line` at `threshold` (at least 2).
bool MayHoldCode39Read(const LineView& line, int threshold, bool merge_single_pixels);

// False when DecodeCode39Nude cannot read on `line` at `threshold` (at least 2). When true,
// `resume` (left alone unless there is one, so pass 0) receives an offset into line.changes,
// at a bar start, from which the nude decoder reaches the same result.
bool MayHoldCode39NudeRead(const LineView& line, int threshold, bool merge_single_pixels,
                           int& resume);

}  // namespace pixdoc::barcode
