#include "imaging/barcode/adaptive_line.h"

#include <algorithm>

#include "imaging/barcode/registry.h"
#include "imaging/barcode/symbol_scale.h"

namespace pixdoc::barcode {
namespace {

// A candidate start: a bar after white at least this many times its own width.
constexpr int kCandidateWhiteRatio = 2;

// The first entry from `at` on whose bar starts right of `column`.
int EntryAfter(const LineList& line, int at, int column) {
    while (at + kEntriesAhead < line.count && line.list[at] <= column)
        at += 2;
    return at;
}

// The entry of the last bar end before the first space of at least `quiet` pixels after the
// bar start `at`, or the last bar end of the line.
int SegmentEnd(const LineList& line, int at, double quiet) {
    int end = at + 1;
    while (end + 2 < line.count && line.list[end + 1] - line.list[end] < quiet)
        end += 2;
    return end;
}

}  // namespace

void AdaptiveLine::Collect(const StepSettings& settings, DecodeContext& context,
                           const LineList& line, const LineTraits& traits,
                           std::vector<StepRead>& reads) {
    Sweep(settings, context, line, traits, reads);
    asked_.clear();
    for (const SymbologyEntry& s : SymbologyRegistry())
        if ((settings.mask & s.bit) && s.decode != nullptr) asked_.push_back(&s);
    for (int at = kChangeListLead; at + kEntriesAhead < line.count;) {
        if (!ReadAt(settings, context, line, at, traits, reads)) {
            at += 2;
            continue;
        }
        const int next = EntryAfter(line, at, reads.back().candidate.end_column);
        at = std::max(next, at + 2);
    }
}

void AdaptiveLine::Sweep(const StepSettings& settings, DecodeContext& context, const LineList& line,
                         const LineTraits& traits, std::vector<StepRead>& reads) {
    for (int at = kChangeListLead; at + kEntriesAhead < line.count;) {
        StepRead read;
        if (!StepLine(settings, context, LineView{line.list + at, line.right_edge}, read, traits))
            return;
        if (ValidRead(line, read)) reads.push_back(read);
        const int next = EntryAfter(line, at, read.candidate.end_column + kResumeMargin - 1);
        at = std::max(next, at + 2);
    }
}

bool AdaptiveLine::ReadAt(const StepSettings& settings, DecodeContext& context,
                          const LineList& line, int at, const LineTraits& traits,
                          std::vector<StepRead>& reads) {
    const int16_t* list = line.list;
    const int first_bar = list[at + 1] - list[at];
    const int white = list[at] - list[at - 1];
    if (first_bar < 1 || white < kCandidateWhiteRatio * first_bar) return false;

    const int measured = std::min(kMeasuredElements, line.count - 1 - at);
    for (int i = 0; i < measured; ++i)
        widths_[i] = list[at + i + 1] - list[at + i];
    const std::span<const int> widths(widths_.data(), static_cast<size_t>(std::max(measured, 0)));

    for (const SymbologyEntry* entry : asked_) {
        const SymbologyEntry& s = *entry;
        if (white < kQuietModules * ModuleFloor(s.bit, widths)) continue;
        double module = 0;
        if (!EstimateModule(s.bit, widths, module)) continue;
        const double quiet = kQuietModules * module;
        if (white < quiet) continue;
        const int end = SegmentEnd(line, at, quiet);
        if (end - at < MinimumSymbolElements(s.bit)) continue;
        SymbolScale scale;
        if (!EstimateScale(s.bit, widths, scale)) continue;

        // The stretch alone, as a line of its own that keeps the page's columns: the bar pair
        // before the quiet zone and the one after it stay, so the decoders see both quiet zones.
        const int from = at >= kChangeListLead + 2 ? at - 2 : at;
        const int to = std::min(end + 2, line.count - 1);
        const int edge = to + 1 < line.count ? list[to + 1] : line.right_edge;
        segment_.assign(kChangeListLead, 0);
        segment_.insert(segment_.end(), list + from, list + to + 1);
        segment_.insert(segment_.end(), kChangeListSentinels, static_cast<int16_t>(edge));
        const LineView view{segment_.data() + kChangeListLead + (at - from), edge};

        for (int threshold : scale.thresholds) {
            if (threshold == 0) break;
            StepRead read;
            if (!StepSymbology(s, settings, context, view, threshold, traits, read)) continue;
            if (!ValidRead(line, read)) continue;
            reads.push_back(read);
            return true;
        }
    }
    return false;
}

}  // namespace pixdoc::barcode
