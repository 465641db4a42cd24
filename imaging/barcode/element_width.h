// The two rules every walk over a change list follows: an element's width, and the single-pixel
// merge. Walks that judge several elements at once use the vector forms beside them.
#pragma once

#include <cstdint>

#include "imaging/barcode/simd.h"

namespace pixdoc::barcode {

// The width of the element between two neighbouring changes, whichever comes first (a list
// that is not ascending still gives widths of 0 and above).
inline int ElementWidth(int from, int to) {
    return from < to ? to - from : from - to;
}

// The single-pixel merge of a walk in direction `step` (+1 forward, -1 backward) that stands at
// the change `at`, `inside(position)` telling whether a position lies within the walk: the
// element at[0] .. at[step] takes in the one-pixel element after it and the element after that
// when the one-pixel element ends inside the walk. The walk then moves on by three changes, so
// bars stay bars and spaces stay spaces.
template <class Inside>
inline bool TakesInNext(const int16_t* at, int step, Inside inside) {
    return inside(at[2 * step]) && ElementWidth(at[step], at[2 * step]) == 1;
}

// The forward walk's form: inside is left of the right edge.
inline bool TakesInNext(const int16_t* at, int right_edge) {
    return TakesInNext(at, 1, [right_edge](int position) { return position < right_edge; });
}

// The changes a forward merging walk moves on by from `at`.
inline int MergedAdvance(const int16_t* at, int right_edge) {
    return TakesInNext(at, right_edge) ? 3 : 1;
}

#if defined(PIXDOC_SSE2_WALKS)
// ElementWidth of eight elements at once, saturated at 32767: exact up to it, and any wider
// element stays above every smaller limit.
inline __m128i ElementWidths(__m128i from, __m128i to) {
    const __m128i difference = _mm_subs_epi16(to, from);
    return _mm_max_epi16(difference, _mm_subs_epi16(_mm_setzero_si128(), difference));
}

// TakesInNext of a forward walk for eight elements at once: lanes whose next element (from
// `to` to `next`) is one pixel wide and ends at or left of `last_inside` (the right edge - 1).
inline __m128i TakesInNextLanes(__m128i to, __m128i next, __m128i last_inside) {
    const __m128i one_pixel = _mm_cmpeq_epi16(ElementWidths(to, next), _mm_set1_epi16(1));
    return _mm_andnot_si128(_mm_cmpgt_epi16(next, last_inside), one_pixel);
}
#endif

}  // namespace pixdoc::barcode
