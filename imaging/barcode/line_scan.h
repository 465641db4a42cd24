// The per-line scan of a search: runs the per-line step along each change list and hands every
// read to the result filter.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/barcode/adaptive_line.h"
#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/line_step.h"
#include "imaging/barcode/result_filter.h"
#include "imaging/barcode/symbol_reads.h"

namespace pixdoc::barcode {

// The adaptive mode searches one line in this many: a symbol is at least a few millimetres tall,
// so it still meets several searched lines (two of them agree before a read without a check
// character is given).
inline constexpr int kAdaptiveLineStep = 4;

// Scans lines one after another with the search's decode context. In the adaptive mode each
// line's valid reads (AdaptiveLine) pass through SymbolReads before the result filter. Decoders are
// pure functions of the line, the threshold and the context's options, so a line equal to the one
// before (the bars of a symbol repeat over many lines) replays the previous line's step results
// instead of decoding them again; the result filter still judges every read on its own line.
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

    // Whether line `line_number` is searched at all: the adaptive mode searches every
    // kAdaptiveLineStep-th line, so a path may skip building the others' change lists.
    bool Searches(int line_number) const {
        return !settings_.adaptive || line_number % kAdaptiveLineStep == 0;
    }

private:
    void ScanAdaptive(const int16_t* list, int count, int right_edge, int line_number, bool repeat);
    void Record(const StepRead& read, int line_number);

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
    AdaptiveLine adaptive_;
    std::vector<StepRead> adaptive_reads_;  // the previous line's valid reads
    SymbolReads symbols_;
};

}  // namespace pixdoc::barcode
