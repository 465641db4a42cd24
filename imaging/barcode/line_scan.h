// The per-line scan and per-line step of a search: runs the symbologies of the mask over one
// change list with the threshold sweep and hands every read to the result filter.
//
// A change list here is the frame's form: entries 0 and 1 are 0, then pairs (bar start, first
// white column after it), then four copies of the right edge. `count` is the number of entries
// before those sentinels, the two leading zeros included.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/decoder.h"
#include "imaging/barcode/result_filter.h"
#include "imaging/barcode/thresholds.h"

namespace pixdoc::barcode {

inline constexpr int kChangeListLead = 2;       // the two leading zeros
inline constexpr int kChangeListSentinels = 4;  // copies of the right edge after the pairs

struct StepSettings {
    uint16_t mask = 0;
    SearchThresholds thresholds;
    bool no_single_bits = false;
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

// The per-line step: the first read of any symbology of the mask at any threshold of the
// sweep, from the bar start `line.changes` on, decoded with the search's `context`.
bool StepLine(const StepSettings& settings, DecodeContext& context, const LineView& line,
              StepRead& read, const LineTraits& traits = {});

// Scans lines one after another with the search's decode context. Decoders are pure functions
// of the line, the threshold and the context's options, so a line equal to the one before (the
// bars of a symbol repeat over many lines) replays the previous line's step results instead of
// decoding them again; the result filter still judges every read on its own line.
class LineScanner {
public:
    LineScanner(const StepSettings& settings, DecodeContext& context, ResultFilter& filter,
                BarcodeStatus& status, int max_results)
        : settings_(settings),
          context_(context),
          filter_(filter),
          status_(status),
          wanted_(max_results) {}

    // Searches one line; `list` holds count entries and then the sentinels.
    void ScanLine(const int16_t* list, int count, int right_edge, int line_number);

    bool Wanted() const { return wanted_ > 0; }

private:
    struct Step {
        bool found;
        StepRead read;
    };

    // True when `list` repeats the previous line; otherwise remembers it.
    bool RepeatsPreviousLine(const int16_t* list, int count, int right_edge);
    const Step& StepAt(int at, size_t index, bool repeat, const int16_t* list, int right_edge);

    const StepSettings& settings_;
    DecodeContext& context_;
    ResultFilter& filter_;
    BarcodeStatus& status_;
    int wanted_;
    std::vector<int16_t> previous_;  // the previous line's entries
    int previous_edge_ = -1;
    LineTraits traits_;
    std::vector<Step> steps_;  // the previous line's step results, in order
};

}  // namespace pixdoc::barcode
