// The walk over the elements (bar, space, bar, ...) of one change list, shared by the decoders.
//
// Forward, the walk starts at the bar whose start `LineView::changes` points at and stops when
// the next change position reaches the right edge. Backward, it starts at a chosen change and
// walks leftward until the next position falls below a lower limit; it relies on the change
// list beginning with two zero entries, so a lower limit of at least 1 always ends it inside
// the list.
//
// With single-pixel merging on, an element followed by a one-pixel element (still inside the
// walk) takes in both it and the element after it (TakesInNext, element_width.h).
#pragma once

#include <bit>
#include <cstdint>

#include "imaging/barcode/decoder.h"
#include "imaging/barcode/element_width.h"
#include "imaging/barcode/simd.h"

namespace pixdoc::barcode {

// The first change from `p` on at or right of `edge`, for `p` at or before the first such change
// of a list in the frame's form. Eight changes are looked at once while the fourth and the eighth
// lie left of the edge: a change left of it has at least four more (sentinels included) after it.
inline const int16_t* FirstChangeAtEdge(const int16_t* p, int edge) {
#if defined(PIXDOC_SSE2_WALKS)
    if (edge > INT16_MIN && edge <= INT16_MAX) {  // an edge 16-bit lanes can compare with
        const __m128i last_inside = _mm_set1_epi16(static_cast<int16_t>(edge - 1));
        while (p[3] < edge && p[7] < edge) {
            const __m128i changes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const int past = _mm_movemask_epi8(_mm_cmpgt_epi16(changes, last_inside));
            if (past != 0) return p + std::countr_zero(static_cast<unsigned>(past)) / 2;
            p += 8;
        }
    }
#endif
    while (*p < edge)
        ++p;
    return p;
}

// The number of elements a forward walk without merging delivers: it stops at the first change
// after its bar start that reaches the right edge.
inline int PlainElementCount(const LineView& line) {
    const int16_t* first = line.changes + 1;
    return static_cast<int>(FirstChangeAtEdge(first, line.right_edge) - first);
}

struct Element {
    int width = 0;
    int start = 0;  // lower column of the element
    int end = 0;    // higher column: the first column after the element
    bool bar = false;
};

class ElementStream {
public:
    // Forward walk from the bar start `line.changes` points at.
    ElementStream(const LineView& line, bool merge_single_pixels)
        : ElementStream(line.changes, 1, line.right_edge, merge_single_pixels, true) {}

    static ElementStream Forward(const LineView& line, bool merge_single_pixels) {
        return ElementStream(line, merge_single_pixels);
    }

    // Backward walk: starts at the first change at or right of `from_column` (the sentinels
    // bound the search) and ends when a position below `lower_limit` (at least 1) would be
    // reached.
    static ElementStream Backward(const LineView& line, int from_column, int lower_limit,
                                  bool merge_single_pixels) {
        const int16_t* p = line.changes;
        while (*p < from_column && *p < line.right_edge)
            ++p;
        // Entries at an even distance from a bar start are bar starts, so the element that
        // ends at an odd distance is a bar.
        const bool first_is_bar = (p - line.changes) % 2 != 0;
        return ElementStream(p, -1, lower_limit < 1 ? 1 : lower_limit, merge_single_pixels,
                             first_is_bar);
    }

    // Takes the next element; false when the walk has ended.
    bool Next(Element& element) {
        if (!Inside(at_[step_])) return false;
        int advance = 1;
        if (merge_ && TakesInNext(at_, step_, [this](int p) { return Inside(p); })) advance = 3;
        const int from = at_[0];
        const int to = at_[advance * step_];
        at_ += advance * step_;
        element.width = ElementWidth(from, to);
        element.start = step_ > 0 ? from : to;
        element.end = step_ > 0 ? to : from;
        element.bar = bar_next_;
        bar_next_ = !bar_next_;  // one or three elements further on: the colour flips
        return true;
    }

    // The element that Next would deliver, without taking it; false at the end.
    bool Peek(Element& element) const {
        ElementStream copy = *this;
        return copy.Next(element);
    }

    // The width of the stretch from the current position to the next change, even when that
    // change is the end of the walk (the white run up to the right edge); merging is ignored.
    int WidthToEdge() const { return ElementWidth(at_[0], at_[step_]); }

private:
    ElementStream(const int16_t* at, int step, int limit, bool merge, bool first_is_bar)
        : at_(at), step_(step), limit_(limit), merge_(merge), bar_next_(first_is_bar) {}

    bool Inside(int position) const { return step_ > 0 ? position < limit_ : position >= limit_; }

    const int16_t* at_;
    int step_;
    int limit_;  // forward: the right edge; backward: the lowest position walked to
    bool merge_;
    bool bar_next_;
};

}  // namespace pixdoc::barcode
