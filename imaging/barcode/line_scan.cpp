#include "imaging/barcode/line_scan.h"

#include <algorithm>
#include <cstring>

#include "imaging/barcode/registry.h"

namespace pixdoc::barcode {
namespace {

// Fewer than six bars on a line cannot be a symbol.
constexpr int kSkipLineUpTo = 12;
// The step needs this many entries beyond the current one.
constexpr int kEntriesAhead = 10;
// After a read, scanning goes on from the first bar this far right of its end.
constexpr int kResumeMargin = 16;
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

bool TrySymbology(const SymbologyEntry& s, const StepSettings& settings, DecodeContext& context,
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

LineTraits TraitsOf(const int16_t* list, int count, int right_edge) {
    LineTraits traits;
    traits.has_single_pixel = false;
    for (int i = 1; i < count; ++i)
        if (list[i] - list[i - 1] == 1) traits.has_single_pixel = true;
    if (count > 0 && right_edge - list[count - 1] == 1) traits.has_single_pixel = true;
    return traits;
}

}  // namespace

bool StepLine(const StepSettings& settings, DecodeContext& context, const LineView& line,
              StepRead& read, const LineTraits& traits) {
    const int sweep = settings.thresholds.span < 0 ? -1 : 2 * settings.thresholds.span;
    for (int k = 0; k <= sweep; ++k) {
        const int offset = SweepOffset(k);
        for (const SymbologyEntry& s : SymbologyRegistry()) {
            if (!(settings.mask & s.bit) || s.decode == nullptr) continue;
            int threshold = settings.thresholds.For(s.threshold_group) + offset;
            if (TrySymbology(s, settings, context, line, threshold, traits, read)) return true;
        }
    }
    return false;
}

bool LineScanner::RepeatsPreviousLine(const int16_t* list, int count, int right_edge) {
    if (right_edge == previous_edge_ && static_cast<size_t>(count) == previous_.size() &&
        std::equal(list, list + count, previous_.begin()))
        return true;
    previous_.assign(list, list + count);
    previous_edge_ = right_edge;
    steps_.clear();
    traits_ = TraitsOf(list, count, right_edge);
    return false;
}

const LineScanner::Step& LineScanner::StepAt(int at, size_t index, bool repeat, const int16_t* list,
                                             int right_edge) {
    // The same entry sequence is visited on a repeated line, so the index finds its step.
    if (repeat && index < steps_.size()) return steps_[index];
    Step step;
    step.found = StepLine(settings_, context_, LineView{list + at, right_edge}, step.read, traits_);
    steps_.push_back(step);
    return steps_.back();
}

void LineScanner::ScanLine(const int16_t* list, int count, int right_edge, int line_number) {
    if (count <= kSkipLineUpTo) return;
    const bool repeat = RepeatsPreviousLine(list, count, right_edge);
    int at = kChangeListLead;
    for (size_t index = 0; Wanted() && at + kEntriesAhead < count; ++index) {
        const Step& step = StepAt(at, index, repeat, list, right_edge);
        if (!step.found) return;
        const StepRead& read = step.read;
        status_.start_column = read.candidate.start_column;
        status_.end_column = read.candidate.end_column;
        status_.line = line_number;
        status_.symbology = read.symbology;
        status_.threshold = read.threshold;
        if (filter_.Offer(read.candidate, {line_number, read.symbology, read.threshold})) --wanted_;
        if (!Wanted()) return;
        const int resume_before = read.candidate.end_column + kResumeMargin;
        const int first = at;
        while (at + kEntriesAhead < count && list[at] < resume_before)
            at += 2;
        // A decoder that reported an end left of its start must not stall the line.
        if (at == first) at += 2;
    }
}

}  // namespace pixdoc::barcode
