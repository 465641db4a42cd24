// The Codabar decoder's forward walk reduced to element widths, for its quick rejection: the
// same changes and widths as ElementStream gives (merging included), one element at a time or
// sixteen at a time as bit sets (SSE2 where the compiler offers it, element by element
// otherwise, with the same answers).
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>

#include "imaging/barcode/decoder.h"
#include "imaging/barcode/element_width.h"
#include "imaging/barcode/simd.h"

namespace pixdoc::barcode::codabar_walk {

inline constexpr int kResetFactor = 2;  // an element wider than 2T resets the decoder

// Sixteen elements are judged at a time by the quick rejection.
inline constexpr int kBlockElements = 16;
inline constexpr uint32_t kBlockBits = (1u << kBlockElements) - 1;
inline constexpr int kNoBit = 32;

// The next sixteen elements of the walk, bit i for element i. `special`: the element ends the
// walk, is wider than 2T, or merges with the one-pixel element after it; `reset`: a special
// element that is only wide (taken alone and wider than 2T). For the other, plain, elements:
// `at_least` T wide, and `above` T wide.
struct ElementBlock {
    uint32_t special = 0;
    uint32_t reset = 0;
    uint32_t at_least = 0;
    uint32_t above = 0;
};

inline int LowestBit(uint32_t bits) {
    return bits == 0 ? kNoBit : std::countr_zero(bits);
}

// The decoder's forward walk reduced to widths: the same changes and the same widths as
// ElementStream::Next, merging included, stepped one element or judged sixteen at a time.
template <bool kMerge>
class WidthWalk {
public:
    WidthWalk(const LineView& line, int t) : at_(line.changes), edge_(line.right_edge), t_(t) {
#if defined(PIXDOC_SSE2_WALKS)
        wide_ = Bound(kResetFactor * t);
        at_least_ = Bound(t - 1);
        above_ = Bound(t);
        last_inside_ = _mm_set1_epi16(static_cast<int16_t>(std::min(edge_ - 1, 32767)));
#endif
    }

    // The next element's width; false when the walk has ended.
    bool Next(int& width) {
        if (at_[1] >= edge_) return false;
        const int advance = MergesFollowing(at_) ? 3 : 1;
        width = ElementWidth(at_[0], at_[advance]);
        at_ += advance;
        return true;
    }

    // The next sixteen elements as an ElementBlock against threshold t. The walk reads no
    // further than the scalar steps would: four positions past one known to lie left of the
    // edge stay inside the list, whose sentinels are the edge itself.
    ElementBlock Block() const {
        ElementBlock block;
#if defined(PIXDOC_SSE2_WALKS)
        if (t_ <= kMaxVectorThreshold && at_[1] < edge_ && at_[5] < edge_) {
            if (at_[9] < edge_ && at_[13] < edge_) return VectorBlock();
            VectorLowHalf(block);  // near the end of the list
            ScalarElements(kBlockElements / 2, block);
            return block;
        }
#endif
        ScalarElements(0, block);
        return block;
    }

    void Skip(int elements) {
        at_ += elements;
    }

private:
    // Elements `first` to 15 of the block, one by one.
    void ScalarElements(int first, ElementBlock& block) const {
        const int t = t_;
        for (int i = first; i < kBlockElements; ++i) {
            if (at_[i + 1] >= edge_) {
                block.special |= kBlockBits & (kBlockBits << i);
                break;
            }
            const int width = ElementWidth(at_[i], at_[i + 1]);
            const bool wide = width > kResetFactor * t;
            const bool merges = MergesFollowing(at_ + i);
            if (wide || merges) block.special |= 1u << i;
            if (wide && !merges) block.reset |= 1u << i;
            if (width >= t) block.at_least |= 1u << i;
            if (width > t) block.above |= 1u << i;
        }
    }

#if defined(PIXDOC_SSE2_WALKS)
    // Widths are saturated 16-bit differences: exact up to 32767, and any larger width stays
    // above every bound used here while 2T is below that.
    static constexpr int kMaxVectorThreshold = 16383;

    // A width bound in both signs, broadcast once per walk.
    struct VectorBound {
        __m128i above;
        __m128i below;
    };

    static VectorBound Bound(int bound) {
        return {_mm_set1_epi16(static_cast<int16_t>(bound)),
                _mm_set1_epi16(static_cast<int16_t>(-bound))};
    }

    // Lanes whose width (either sign) exceeds the bound.
    static __m128i WiderThan(__m128i width, const VectorBound& bound) {
        return _mm_or_si128(_mm_cmpgt_epi16(width, bound.above),
                            _mm_cmpgt_epi16(bound.below, width));
    }

    struct Lanes {
        __m128i special, reset, at_least, above;
    };

    // Eight elements from `at`. Needs the edge above -32768, which a position left of it
    // guarantees.
    Lanes VectorHalf(const int16_t* at) const {
        const __m128i last_inside = last_inside_;
        const __m128i from = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i to = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 1));
        const __m128i width = _mm_subs_epi16(to, from);
        const __m128i wide = WiderThan(width, wide_);
        const __m128i ends = _mm_cmpgt_epi16(to, last_inside);
        __m128i merges = _mm_setzero_si128();
        if constexpr (kMerge) {
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 2));
            merges = TakesInNextLanes(to, next, last_inside);
        }
        return {_mm_or_si128(_mm_or_si128(wide, ends), merges),
                _mm_andnot_si128(_mm_or_si128(ends, merges), wide), WiderThan(width, at_least_),
                WiderThan(width, above_)};
    }

    static uint32_t Bits(__m128i low, __m128i high) {
        return static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
    }

    // Elements 0 to 7 of the block; needs the edge right of position 5.
    void VectorLowHalf(ElementBlock& block) const {
        const Lanes low = VectorHalf(at_);
        const __m128i none = _mm_setzero_si128();
        block.special = Bits(low.special, none);
        block.reset = Bits(low.reset, none);
        block.at_least = Bits(low.at_least, none);
        block.above = Bits(low.above, none);
    }

    ElementBlock VectorBlock() const {
        const Lanes low = VectorHalf(at_);
        const Lanes high = VectorHalf(at_ + kBlockElements / 2);
        return {Bits(low.special, high.special), Bits(low.reset, high.reset),
                Bits(low.at_least, high.at_least), Bits(low.above, high.above)};
    }
#endif

    bool MergesFollowing(const int16_t* at) const {
        return kMerge && TakesInNext(at, edge_);
    }

    const int16_t* at_;
    int edge_;
    int t_;
#if defined(PIXDOC_SSE2_WALKS)
    VectorBound wide_;
    VectorBound at_least_;
    VectorBound above_;
    __m128i last_inside_;
#endif
};

}  // namespace pixdoc::barcode::codabar_walk
