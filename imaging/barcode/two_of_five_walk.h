// The 2 of 5 decoders' forward walk reduced to element widths, for their quick rejections: they
// look at every line at every threshold, so they see the elements as bare widths, in the same
// walk as ElementStream (forward, merged when the switch is on), and tell the reader where to
// start.
#pragma once

#include <bit>
#include <cstdint>

#include "imaging/barcode/decoder.h"
#include "imaging/barcode/element_stream.h"
#include "imaging/barcode/element_width.h"
#include "imaging/barcode/simd.h"

namespace pixdoc::barcode::two_of_five_walk {

// Without merging, element k runs from changes[k] to changes[k + 1], and the walk delivers the
// elements below count(): it stops at the first change at or past the right edge.
class RawElements {
public:
    explicit RawElements(const LineView& line) : at_(line.changes), count_(Count(line)) {}

    int count() const { return count_; }
    int width(int k) const { return ElementWidth(at_[k], at_[k + 1]); }
    // As ElementStream::WidthToEdge after element k (for the last one the next change is the
    // first at the edge, still inside the list).
    int width_after(int k) const { return ElementWidth(at_[k + 1], at_[k + 2]); }
    bool descends(int k) const { return at_[k + 1] < at_[k]; }
    const int16_t* start(int k) const { return at_ + k; }

private:
    static int Count(const LineView& line) { return PlainElementCount(line); }

    const int16_t* at_;
    int count_;
};

// The first k at or after `from` where `length` elements in a row are no reset, or `count`.
// Probes the last element of each window and walks back from it, so that short runs cost a
// look or two each; every element is looked at once at most.
template <class IsReset>
int FirstRunOf(int length, int from, int count, IsReset is_reset) {
    int start = from;
    int clean_end = from;  // elements [start, clean_end) are no resets
    while (start + length <= count) {
        const int last = start + length - 1;
        int k = last;
        while (k >= clean_end && !is_reset(k))
            --k;
        if (k < clean_end) return start;
        start = k + 1;
        clean_end = last + 1;
    }
    return count;
}

// Calls `visit(k)` for every element k of the walk wider than `reset_above` (and, with
// kDescendingToo, every element whose end lies left of its start), in order, until it returns
// true; returns whether one did.
template <bool kDescendingToo = false, class Visit>
bool ForEachReset(const RawElements& e, int reset_above, Visit visit) {
    int k = 0;
#if defined(PIXDOC_SSE2_WALKS)
    // Eight widths at a time. Saturating differences keep every width above a limit below the
    // 16-bit maximum on the right side of it.
    if (reset_above >= 0 && reset_above < INT16_MAX) {
        const __m128i limit = _mm_set1_epi16(static_cast<int16_t>(reset_above));
        for (; k + 8 <= e.count(); k += 8) {
            const auto from = _mm_loadu_si128(reinterpret_cast<const __m128i*>(e.start(k)));
            const auto to = _mm_loadu_si128(reinterpret_cast<const __m128i*>(e.start(k + 1)));
            const auto width = ElementWidths(from, to);
            // two bits per element
            auto marks = _mm_cmpgt_epi16(width, limit);
            if (kDescendingToo) marks = _mm_or_si128(marks, _mm_cmplt_epi16(to, from));
            auto wide = static_cast<unsigned>(_mm_movemask_epi8(marks));
            for (; wide != 0; wide &= wide - 1) {
                const int bit = std::countr_zero(wide);
                if (visit(k + bit / 2)) return true;
                wide &= wide - 1;
            }
        }
    }
#endif
    for (; k < e.count(); ++k) {
        const bool marked = e.width(k) > reset_above || (kDescendingToo && e.descends(k));
        if (marked && visit(k)) return true;
    }
    return false;
}

// Whether a merged walk may hold `length` elements in a row that are no resets. A merged element
// is one or three whole unmerged ones, on an ascending line each no wider than it (the last may
// lose its third at the edge), so such a run spans at least as many unmerged elements that are
// no resets. A line that is not ascending is left to the merged walk, and so is one where the
// merged walk may go on past the unmerged walk's end: a one-pixel element just before the first
// change at or past the edge merges over it, and the walk goes on if the change after it is left of
// the edge again.
inline bool HasRunOf(const LineView& line, const RawElements& e, int length, int reset_above) {
    if (line.changes[e.count() + 2] < line.right_edge) return true;
    int start = 0;
    const auto long_run_before = [&](int k) {
        if (e.descends(k) || k - start >= length) return true;
        start = k + 1;
        return false;
    };
    return ForEachReset<true>(e, reset_above, long_run_before) || e.count() - start >= length;
}

// With merging, elements come one by one as ElementStream::Next delivers them.
class MergedWalk {
public:
    explicit MergedWalk(const LineView& line) : at_(line.changes), edge_(line.right_edge) {}

    bool Next(int& width) {
        if (at_[1] >= edge_) return false;
        const int advance = MergedAdvance(at_, edge_);
        width = ElementWidth(at_[0], at_[advance]);
        at_ += advance;
        return true;
    }

    // As ElementStream::Peek failing and ElementStream::WidthToEdge.
    bool AtEnd() const { return at_[1] >= edge_; }
    int WidthToNextChange() const { return ElementWidth(at_[0], at_[1]); }

    const int16_t* position() const { return at_; }

private:
    const int16_t* at_;
    int edge_;
};

}  // namespace pixdoc::barcode::two_of_five_walk
