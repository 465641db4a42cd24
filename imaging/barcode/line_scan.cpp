#include "imaging/barcode/line_scan.h"

#include <algorithm>

namespace pixdoc::barcode {
namespace {

// Fewer than six bars on a line cannot be a symbol.
constexpr int kSkipLineUpTo = 12;

LineTraits TraitsOf(const int16_t* list, int count, int right_edge) {
    LineTraits traits;
    traits.has_single_pixel = false;
    for (int i = 1; i < count; ++i)
        if (list[i] - list[i - 1] == 1) traits.has_single_pixel = true;
    if (count > 0 && right_edge - list[count - 1] == 1) traits.has_single_pixel = true;
    return traits;
}

}  // namespace

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

void LineScanner::Record(const StepRead& read, int line_number) {
    status_.start_column = read.candidate.start_column;
    status_.end_column = read.candidate.end_column;
    status_.line = line_number;
    status_.symbology = read.symbology;
    status_.threshold = read.threshold;
}

void LineScanner::ScanLine(const int16_t* list, int count, int right_edge, int line_number) {
    if (count <= kSkipLineUpTo || !Searches(line_number)) return;
    const bool repeat = RepeatsPreviousLine(list, count, right_edge);
    if (settings_.adaptive) {
        ScanAdaptive(list, count, right_edge, line_number, repeat);
        return;
    }
    int at = kChangeListLead;
    for (size_t index = 0; Wanted() && at + kEntriesAhead < count; ++index) {
        const Step& step = StepAt(at, index, repeat, list, right_edge);
        if (!step.found) return;
        const StepRead& read = step.read;
        Record(read, line_number);
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

void LineScanner::ScanAdaptive(const int16_t* list, int count, int right_edge, int line_number,
                               bool repeat) {
    // The reads of a line depend on the line alone: a repeated line gives the same ones.
    if (!repeat) {
        adaptive_reads_.clear();
        adaptive_.Collect(settings_, context_, LineList{list, count, right_edge}, traits_,
                          adaptive_reads_);
    }
    for (const StepRead& read : adaptive_reads_) {
        if (!Wanted()) return;
        StepRead given;
        int given_line = 0;
        if (!symbols_.Admit(read, line_number, given, given_line)) continue;
        Record(given, given_line);
        if (filter_.Offer(given.candidate, {given_line, given.symbology, given.threshold}))
            --wanted_;
    }
}

}  // namespace pixdoc::barcode
