// The checks of the adaptive search that the decoders leave out: a read stands only where the
// line shows a symbol as its symbology's standard draws one, with quiet zones on both sides and
// the same scale at both ends, and no element wider than that scale allows.
#pragma once

#include <cstdint>

#include "imaging/barcode/line_step.h"

namespace pixdoc::barcode {

// A whole line in the frame's form: `count` entries (two leading zeros included), then the
// sentinels. A list that is not ascending gives no valid read.
struct LineList {
    const int16_t* list;
    int count;
    int right_edge;
};

// Quiet zones, in modules (or narrow elements), on each side of a symbol. The standards ask
// for ten; printed labels often keep less, text never keeps this much beside a word.
inline constexpr int kQuietModules = 5;

// Whether `read` (decoded on `line`) is a symbol its symbology's standard would accept there.
bool ValidRead(const LineList& line, const StepRead& read);

}  // namespace pixdoc::barcode
