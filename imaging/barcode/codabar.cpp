#include "imaging/barcode/codabar.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/candidate_text.h"
#include "imaging/barcode/codabar_table.h"
#include "imaging/barcode/element_stream.h"

namespace pixdoc::barcode {
namespace {

constexpr int kMinimumThreshold = 2;
constexpr int kResetFactor = 2;  // an element wider than 2T resets
constexpr int kGapDivisor = 4;   // a gap with width / 4 <= T is skipped
constexpr int kMinStopText = 4;  // asterisk, start, one data character, stop
constexpr int kFrameCharacters = 2;
constexpr char kFrame = '*';

// The quick rejection below follows reads up to this many characters and lets longer ones pass,
// so that it never has to follow the text capacity's rule.
constexpr int kFollowedCharacters = 100;
constexpr int kStopCharacters = kMinStopText - 1;  // start, one data character, stop

int Distance(int a, int b) {
    return a < b ? b - a : a - b;
}

// Sixteen elements are judged at a time by the quick rejection.
constexpr int kBlockElements = 16;
constexpr uint32_t kBlockBits = (1u << kBlockElements) - 1;
constexpr int kNoBit = 32;

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

int LowestBit(uint32_t bits) {
    return bits == 0 ? kNoBit : std::countr_zero(bits);
}

// The decoder's forward walk reduced to widths: the same changes and the same widths as
// ElementStream::Next, merging included, stepped one element or judged sixteen at a time.
template <bool kMerge>
class WidthWalk {
public:
    WidthWalk(const LineView& line, int t) : at_(line.changes), edge_(line.right_edge), t_(t) {
#if defined(__SSE2__)
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
        width = Distance(at_[0], at_[advance]);
        at_ += advance;
        return true;
    }

    // The next sixteen elements as an ElementBlock against threshold t. The walk reads no
    // further than the scalar steps would: four positions past one known to lie left of the
    // edge stay inside the list, whose sentinels are the edge itself.
    ElementBlock Block() const {
#if defined(__SSE2__)
        if (t_ <= kMaxVectorThreshold && at_[1] < edge_ && at_[5] < edge_ && at_[9] < edge_ &&
            at_[13] < edge_)
            return VectorBlock();
#endif
        return ScalarBlock();
    }

    void Skip(int elements) {
        at_ += elements;
    }

private:
    ElementBlock ScalarBlock() const {
        const int t = t_;
        ElementBlock block;
        for (int i = 0; i < kBlockElements; ++i) {
            if (at_[i + 1] >= edge_) {
                block.special |= kBlockBits & (kBlockBits << i);
                break;
            }
            const int width = Distance(at_[i], at_[i + 1]);
            const bool wide = width > kResetFactor * t;
            const bool merges = MergesFollowing(at_ + i);
            if (wide || merges) block.special |= 1u << i;
            if (wide && !merges) block.reset |= 1u << i;
            if (width >= t) block.at_least |= 1u << i;
            if (width > t) block.above |= 1u << i;
        }
        return block;
    }

#if defined(__SSE2__)
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
            const __m128i next_width = _mm_subs_epi16(next, to);
            const __m128i one_pixel = _mm_or_si128(_mm_cmpeq_epi16(next_width, _mm_set1_epi16(1)),
                                                   _mm_cmpeq_epi16(next_width, _mm_set1_epi16(-1)));
            merges = _mm_andnot_si128(_mm_cmpgt_epi16(next, last_inside), one_pixel);
        }
        return {_mm_or_si128(_mm_or_si128(wide, ends), merges),
                _mm_andnot_si128(_mm_or_si128(ends, merges), wide), WiderThan(width, at_least_),
                WiderThan(width, above_)};
    }

    static uint32_t Bits(__m128i low, __m128i high) {
        return static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
    }

    ElementBlock VectorBlock() const {
        const Lanes low = VectorHalf(at_);
        const Lanes high = VectorHalf(at_ + kBlockElements / 2);
        return {Bits(low.special, high.special), Bits(low.reset, high.reset),
                Bits(low.at_least, high.at_least), Bits(low.above, high.above)};
    }
#endif

    // ElementStream's merging rule at `at`: the element after it is one pixel wide.
    bool MergesFollowing(const int16_t* at) const {
        return kMerge && at[2] < edge_ && Distance(at[1], at[2]) == 1;
    }

    const int16_t* at_;
    int edge_;
    int t_;
#if defined(__SSE2__)
    VectorBound wide_;
    VectorBound at_least_;
    VectorBound above_;
    __m128i last_inside_;
#endif
};

// A group's patterns for both classifications: first pass every element of T or more is wide;
// second pass the bars (even places of the group) only above T.
struct GroupPatterns {
    unsigned first = 0;
    unsigned second = 0;

    void Add(int width, int place, int t) {
        first = (first << 1) | (width >= t ? 1u : 0u);
        second = (second << 1) | (width > t - (place & 1) ? 1u : 0u);
    }
};

constexpr std::array<uint8_t, 1u << kCodabarElements> BuildReversedPatterns() {
    std::array<uint8_t, 1u << kCodabarElements> reversed{};
    for (unsigned bits = 0; bits < reversed.size(); ++bits)
        for (int i = 0; i < kCodabarElements; ++i)
            if ((bits >> i) & 1u) reversed[bits] |= static_cast<uint8_t>(1u << (6 - i));
    return reversed;
}
// Element i at bit i turned into element i at bit 6 - i (the patterns' order).
constexpr std::array<uint8_t, 1u << kCodabarElements> kReversedPatterns = BuildReversedPatterns();

// The group of the seven plain elements from bit `first` of a block.
GroupPatterns PatternsAt(const ElementBlock& block, int first) {
    constexpr unsigned kGroupBits = (1u << kCodabarElements) - 1;
    constexpr unsigned kBarPlaces = 0b1010101;
    const unsigned at_least = (block.at_least >> first) & kGroupBits;
    const unsigned above = (block.above >> first) & kGroupBits;
    return {kReversedPatterns[at_least],
            kReversedPatterns[(above & kBarPlaces) | (at_least & ~kBarPlaces)]};
}

int ClassifyPatterns(const GroupPatterns& group, bool backward) {
    const int row = FindCodabarRow(group.first, backward);
    return row >= 0 ? row : FindCodabarRow(group.second, backward);
}

enum class GroupEnd { kComplete, kReset, kWalkEnded };

// Collects the next group of seven elements as the decoder does, or stops at the element that
// resets it (wider than 2T) or at the end of the walk.
template <bool kMerge>
GroupEnd CollectGroup(WidthWalk<kMerge>& walk, int t, GroupPatterns& group) {
    group = {};
    for (int i = 0; i < kCodabarElements; ++i) {
        int width = 0;
        if (!walk.Next(width)) return GroupEnd::kWalkEnded;
        if (width > kResetFactor * t) return GroupEnd::kReset;
        group.Add(width, i, t);
    }
    return GroupEnd::kComplete;
}

// Bit i set where elements i to i + 6 of a block are all plain.
uint32_t PlainGroupStarts(uint32_t special) {
    uint32_t starts = ~special & kBlockBits;
    starts &= starts >> 1;  // two plain elements from here
    starts &= starts >> 2;  // four
    starts &= starts >> 3;  // seven
    return starts;
}

// Elements of a block from bit `first` on.
uint32_t From(uint32_t bits, int first) {
    return bits & (kBlockBits << first);
}

// The decoder's walk while it holds no text, up to the first group that is a start letter
// (its row goes to `row`); false when the walk ends first. Resets change nothing without text,
// so a block is followed bit by bit: after a reset the first seven plain elements are a group
// (an earlier start would give an earlier run), and after a group that is no start every
// element up to the next reset is ignored. Elements that end the walk or merge are stepped.
template <bool kMerge>
bool FindStart(WidthWalk<kMerge>& walk, int t, int& row) {
    bool searching = true;  // a group begins at the walk's position
    for (;;) {
        const ElementBlock block = walk.Block();
        const int exact = LowestBit(block.special & ~block.reset);
        const uint32_t group_starts = PlainGroupStarts(block.special);
        int taken = 0;  // elements of the block already followed
        for (;;) {
            if (searching) {
                const int group = LowestBit(From(group_starts, taken));
                if (group >= exact) break;
                row = ClassifyPatterns(PatternsAt(block, group), false);
                taken = group + kCodabarElements;
                if (row >= kCodabarFirstStartStopRow) {
                    walk.Skip(taken);
                    return true;
                }
                searching = false;  // a data character or no match: wait for a reset
            } else {
                const int next = LowestBit(From(block.special, taken));
                if (next == kNoBit) {
                    taken = kBlockElements;
                    break;
                }
                taken = next;
                if (next == exact) break;
                ++taken;  // a reset
                searching = true;
            }
        }
        if (searching) {
            // The group under way begins after the last reset met.
            const uint32_t resets = From(block.reset, taken) & ((1u << std::min(exact, 31)) - 1);
            walk.Skip(resets != 0 ? std::bit_width(resets) : taken);
            if (exact == kNoBit) continue;
            GroupPatterns group;
            const GroupEnd end = CollectGroup(walk, t, group);
            if (end == GroupEnd::kWalkEnded) return false;
            if (end == GroupEnd::kReset) continue;
            row = ClassifyPatterns(group, false);
            if (row >= kCodabarFirstStartStopRow) return true;
            searching = false;
            continue;
        }
        walk.Skip(taken);
        if (taken == kBlockElements) continue;
        int width = 0;  // the element at `exact`, stepped
        if (!walk.Next(width)) return false;
        searching = width > kResetFactor * t;
    }
}

// Quick rejection: whether the decoder's walk comes to a stop letter after a start letter and
// at least one data character. It applies the decoder's own rules to the same elements without
// building text: `characters` is the length of the decoder's text after its asterisk (0 while
// there is none) and `backward` its direction, so a line answered false cannot give a read.
template <bool kMerge>
bool ReachesStop(const LineView& line, int t) {
    WidthWalk<kMerge> walk(line, t);
    int characters = 0;
    bool backward = false;
    for (;;) {
        if (characters == 0) {
            int row = 0;
            if (!FindStart(walk, t, row)) return false;
            backward = row >= kCodabarFirstReversedRow;
            characters = 1;
        } else {
            GroupPatterns group;
            const GroupEnd end = CollectGroup(walk, t, group);
            if (end == GroupEnd::kWalkEnded) return false;
            if (end == GroupEnd::kReset) {
                characters = 0;
                backward = false;
                continue;
            }
            const int row = ClassifyPatterns(group, backward);
            if (row < 0 || row >= kCodabarFirstReversedRow) {
                characters = 0;  // the very next element begins a new group
                backward = false;
                continue;
            }
            if (++characters >= kFollowedCharacters ||
                (row >= kCodabarFirstStartStopRow && characters >= kStopCharacters))
                return true;
        }
        int gap = 0;
        if (!walk.Next(gap)) return false;
        if (gap / kGapDivisor > t) {  // too wide for a gap, so wider than 2T: a reset
            characters = 0;
            backward = false;
        }
    }
}

class CodabarReader {
public:
    CodabarReader(int threshold, int min_size) : t_(threshold), min_size_(min_size) {}

    bool Read(ElementStream& stream, Candidate& out) {
        Element e;
        while (stream.Next(e)) {
            if (e.width > kResetFactor * t_) {
                DropText();
                count_ = 0;
                searching_ = true;
                continue;
            }
            if (!searching_) continue;
            if (count_ == 0 && text_.empty()) start_column_ = e.start;
            if (count_ == 0) group_ = {};
            group_.Add(e.width, count_++, t_);
            last_end_ = e.end;
            if (count_ < kCodabarElements) continue;
            count_ = 0;

            const int row = ClassifyPatterns(group_, backward_);
            if (text_.empty()) {
                if (!Start(row)) continue;
            } else if (row < 0 || row >= kCodabarFirstReversedRow) {
                DropText();  // the very next element begins a new group
                continue;
            } else if (!text_.Append(CodabarTableRow(row).character)) {
                DropText();
            } else if (row >= kCodabarFirstStartStopRow && text_.size() >= kMinStopText) {
                if (Stop(out)) return true;
            }
            SkipGap(stream);
        }
        return false;
    }

private:
    bool Start(int row) {
        if (row < kCodabarFirstStartStopRow) {
            searching_ = false;  // a data character before any start
            return false;
        }
        backward_ = row >= kCodabarFirstReversedRow;
        text_.Append(kFrame);
        text_.Append(CodabarTableRow(row).character);
        return true;
    }

    bool Stop(Candidate& out) {
        if (!text_.Append(kFrame)) {
            DropText();
            return false;
        }
        if (backward_) text_.ReverseAndMark();
        if (min_size_ != 0 && text_.size() < min_size_ + kFrameCharacters) {
            DropText();
            return false;
        }
        text_.CopyTo(out);
        out.start_column = start_column_;
        out.end_column = last_end_ - 1;
        return true;
    }

    void SkipGap(ElementStream& stream) const {
        Element gap;
        if (stream.Peek(gap) && gap.width / kGapDivisor <= t_) stream.Next(gap);
    }

    void DropText() {
        text_.Clear();
        backward_ = false;
    }

    int t_;
    int min_size_;
    CandidateText text_;
    bool backward_ = false;
    bool searching_ = true;
    GroupPatterns group_;  // both passes' patterns, built element by element
    int count_ = 0;
    int start_column_ = 0;
    int last_end_ = 0;
};

}  // namespace

bool DecodeCodabar(const LineView& line, int threshold, bool merge_single_pixels, Candidate& out) {
    if (threshold < kMinimumThreshold) return false;
    const bool may_read = merge_single_pixels ? ReachesStop<true>(line, threshold)
                                              : ReachesStop<false>(line, threshold);
    if (!may_read) return false;
    ElementStream stream(line, merge_single_pixels);
    return CodabarReader(threshold, BarcodeState().options.codabar_min_size).Read(stream, out);
}

}  // namespace pixdoc::barcode
