// A quick, exact rejection for the UPC/EAN decoders: most lines (text above all) cannot hold a
// read at all, and this shows it with a few look-ups instead of a walk per format and threshold.
#pragma once

#include "imaging/barcode/decoder.h"

namespace pixdoc::barcode {

// Whether the walk from the bar start `line.changes` points at (merged or not, as the switch
// says) holds a stretch where a read of `elements` elements could lie at `threshold` (7 or more):
// a run of that many elements none wider than B_5 (5 * T / 7) and, without merging, the first
// three narrower than B_2 (2 * T / 7). False proves no such read exists; true promises nothing.
// Reads no entry past the line's sentinels, whatever the entries hold.
bool EanReadMayFit(const LineView& line, int threshold, bool merge_single_pixels, int elements);

}  // namespace pixdoc::barcode
