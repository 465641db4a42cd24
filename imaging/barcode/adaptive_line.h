// The adaptive search's reads of one line: the threshold sweep's reads, and the reads of every
// decoder called at each candidate start (a bar after a quiet zone) with the thresholds the
// symbol's own start pattern gives, on the stretch up to the next quiet zone. Only reads that
// pass ValidRead are kept.
#pragma once

#include <array>
#include <vector>

#include "imaging/barcode/line_step.h"
#include "imaging/barcode/read_validation.h"
#include "imaging/barcode/registry.h"

namespace pixdoc::barcode {

class AdaptiveLine {
public:
    // The valid reads of `line`, in the order found (sweep first), into `reads`.
    void Collect(const StepSettings& settings, DecodeContext& context, const LineList& line,
                 const LineTraits& traits, std::vector<StepRead>& reads);

private:
    void Sweep(const StepSettings& settings, DecodeContext& context, const LineList& line,
               const LineTraits& traits, std::vector<StepRead>& reads);
    // True when a symbol was read from the bar start `at`; its read is appended.
    bool ReadAt(const StepSettings& settings, DecodeContext& context, const LineList& line, int at,
                const LineTraits& traits, std::vector<StepRead>& reads);

    // Elements measured at a candidate, enough for every symbology's start pattern.
    static constexpr int kMeasuredElements = 16;

    // The decoders the settings' mask asks for, gathered once per line: every candidate of
    // a line tries them all.
    std::vector<const SymbologyEntry*> asked_;
    std::array<int, kMeasuredElements> widths_{};
    std::vector<int16_t> segment_;
};

}  // namespace pixdoc::barcode
