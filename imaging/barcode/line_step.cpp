#include "imaging/barcode/line_step.h"

#include <cstring>

namespace pixdoc::barcode {
namespace {

constexpr char kFrame = '*';

// Frames bare data with asterisks; false when the framed text would not fit.
bool AddFrame(Candidate& c) {
    size_t length = strnlen(c.text, kCandidateCapacity);
    if (length + 2 >= static_cast<size_t>(kCandidateCapacity)) return false;
    std::memmove(c.text + 1, c.text, length);
    c.text[0] = kFrame;
    c.text[length + 1] = kFrame;
    c.text[length + 2] = '\0';
    return true;
}

}  // namespace

bool StepSymbology(const SymbologyEntry& s, const StepSettings& settings, DecodeContext& context,
                   const LineView& line, int threshold, const LineTraits& traits, StepRead& read) {
    Candidate& c = read.candidate;
    c.text[0] = '\0';
    bool ok = s.decode(line, threshold, false, context, c);
    if (!ok && traits.has_single_pixel && !settings.no_single_bits &&
        threshold >= MinimumRetryThreshold(s.threshold_group)) {
        c.text[0] = '\0';
        ok = s.decode(line, threshold, true, context, c);
    }
    if (!ok) return false;
    c.text[kCandidateCapacity - 1] = '\0';
    if (s.frame_adds_asterisks && !AddFrame(c)) return false;
    read.symbology = s.bit;
    read.threshold = threshold;
    return true;
}

bool StepLine(const StepSettings& settings, DecodeContext& context, const LineView& line,
              StepRead& read, const LineTraits& traits) {
    const int sweep = settings.thresholds.span < 0 ? -1 : 2 * settings.thresholds.span;
    for (int k = 0; k <= sweep; ++k) {
        const int offset = SweepOffset(k);
        for (const SymbologyEntry& s : SymbologyRegistry()) {
            if (!(settings.mask & s.bit) || s.decode == nullptr) continue;
            int threshold = settings.thresholds.For(s.threshold_group) + offset;
            if (StepSymbology(s, settings, context, line, threshold, traits, read)) return true;
        }
    }
    return false;
}

}  // namespace pixdoc::barcode
