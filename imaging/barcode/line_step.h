// The per-line step of a search: the symbologies of the mask tried over one change list with the
// threshold sweep, from one bar start.
//
// A change list here is the frame's form: entries 0 and 1 are 0, then pairs (bar start, first
// white column after it), then four copies of the right edge. `count` is the number of entries
// before those sentinels, the two leading zeros included.
#pragma once

#include <cstdint>

#include "imaging/barcode/decoder.h"
#include "imaging/barcode/registry.h"
#include "imaging/barcode/thresholds.h"

namespace pixdoc::barcode {

inline constexpr int kChangeListLead = 2;       // the two leading zeros
inline constexpr int kChangeListSentinels = 4;  // copies of the right edge after the pairs
// The step needs this many entries beyond the current one.
inline constexpr int kEntriesAhead = 10;
// After a read, scanning goes on from the first bar this far right of its end.
inline constexpr int kResumeMargin = 16;

struct StepSettings {
    uint16_t mask = 0;
    SearchThresholds thresholds;
    bool no_single_bits = false;
    bool adaptive = false;  // thresholds from each symbol, validated reads, one per symbol
};

// Whether a line has an element exactly one pixel wide anywhere (sentinel stretch included):
// without one, single-pixel merging changes no decoder's walk and the retry is skipped.
struct LineTraits {
    bool has_single_pixel = true;
};

struct StepRead {
    Candidate candidate;
    int symbology = 0;
    int threshold = 0;
};

// One symbology at one threshold as the step tries it, the single-pixel retry included; the
// read framed as the result text wants it.
bool StepSymbology(const SymbologyEntry& s, const StepSettings& settings, DecodeContext& context,
                   const LineView& line, int threshold, const LineTraits& traits, StepRead& read);

// The per-line step: the first read of any symbology of the mask at any threshold of the
// sweep, from the bar start `line.changes` on, decoded with the search's `context`.
bool StepLine(const StepSettings& settings, DecodeContext& context, const LineView& line,
              StepRead& read, const LineTraits& traits = {});

}  // namespace pixdoc::barcode
