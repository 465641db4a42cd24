// Groups the elements of a walk into six-element symbol characters measured in modules, for the
// decoders without gaps between characters (Code 128, Code 93). An element wider than B_5 is a
// quiet zone or noise: it drops the group in progress, and counting starts again after it.
//
// The walk follows the change list exactly as ElementStream does (same ends, same single-pixel
// merging), but keeps only what these decoders use: each character as the look-up index of its
// module pattern (ModulePatternIndex, corrected for ink spread by CorrectedIndex),
// the column where its first element begins and the column where its sixth element ends.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdint>

#include "imaging/barcode/decoder.h"
#include "imaging/barcode/element_width.h"
#include "imaging/barcode/module_counter.h"
#include "imaging/barcode/simd.h"

namespace pixdoc::barcode {

inline constexpr int kModuleCharacterElements = 6;

// A complete character met by the walk.
struct ModuleCharacter {
    int index;  // corrected pattern index, or -1 for a character that cannot match
    int from;   // where the first element begins (the walk's near side)
    int to;     // where the sixth element ends (the walk's far side)
};

// How a walk stopped.
enum class WalkStop {
    kEnd,    // the walk reached its end
    kSink,   // the sink ended it
    kPause,  // it reached `pause_from` between two characters (forward walks only)
};

// Walks the elements from `at` in direction `Step` (+1: rightward while positions stay below
// `limit`; -1: leftward while they stay at or above it), with single-pixel merging when `Merge`.
// Calls sink.Reset() for each quiet zone and sink.Character(c) for each complete character; a
// Character call that returns false ends the walk. A forward walk given a `pause_from` pauses,
// with `at` where the next character begins, once it is at or right of it with no character in
// progress.
template <int Step, bool Merge, typename Sink>
WalkStop WalkModuleElements(const int16_t*& at, int limit, const ModuleWidths& widths, Sink& sink,
                            const int16_t* pause_from) {
    const auto inside = [limit](int position) {
        return Step > 0 ? position < limit : position >= limit;
    };
    widths.PrepareEntries();
    const int widest = widths.widest();
    const int modules = widths.modules_per_character();
    int count = 0;
    unsigned index = 0;
    unsigned marks = 0;
    int sum = 0;
    bool counted = true;  // false once an element exactly B_5 wide joined the character
    int character_from = at[0];
    const auto begin_character = [&](int from) {
        count = 0;
        index = 0;
        marks = 0;
        sum = 0;
        counted = true;
        character_from = from;
    };
    for (;;) {
        if (Step > 0 && count == 0 && pause_from != nullptr && at >= pause_from)
            return WalkStop::kPause;
        const int next = at[Step];
        if (!inside(next)) return WalkStop::kEnd;
        const int from = at[0];
        int to = next;
        if (Merge && TakesInNext(at, Step, inside)) {
            to = at[3 * Step];
            at += 3 * Step;
        } else {
            at += Step;
        }
        const int w = ElementWidth(from, to);
        if (w >= widest) [[unlikely]] {
            if (w > widest) {
                begin_character(to);
                sink.Reset();
                continue;
            }
            counted = false;
        }
        const unsigned e = widths.Entry(w);
        index = (index << 2) | (e & ModuleWidths::kCountBits);
        marks = (marks << 2) | (e >> 2);
        sum += static_cast<int>(e & ModuleWidths::kCountBits);
        if (++count < kModuleCharacterElements) continue;

        const int found =
            counted ? CorrectedIndex<kModuleCharacterElements, false>(index, marks, sum, modules)
                    : -1;
        if (!sink.Character(ModuleCharacter{found, character_from, to})) return WalkStop::kSink;
        begin_character(to);
    }
}

namespace module_walk {

// Bits of six elements (bit i: the character's element i).
inline constexpr unsigned kSix = 0x3F;
inline constexpr unsigned kSpaces = 0x2A;  // second, fourth and sixth element
inline constexpr unsigned kBars = 0x15;    // first, third and fifth

// Module counts minus 1 of six elements held as two bit planes (bit i of the low and high plane
// belong to element i), looked up as the pattern index (element 0 in the top two bits).
constexpr std::array<uint16_t, 1u << 12> BuildPlanarIndex() {
    std::array<uint16_t, 1u << 12> table{};
    for (unsigned planes = 0; planes < table.size(); ++planes) {
        unsigned index = 0;
        for (unsigned i = 0; i < kModuleCharacterElements; ++i) {
            const unsigned digit = ((planes >> i) & 1u) | (((planes >> (6 + i)) & 1u) << 1);
            index |= digit << (2 * (kModuleCharacterElements - 1 - i));
        }
        table[planes] = static_cast<uint16_t>(index);
    }
    return table;
}
inline constexpr std::array<uint16_t, 1u << 12> kPlanarIndex = BuildPlanarIndex();

constexpr std::array<uint8_t, 64> BuildBitCounts() {
    std::array<uint8_t, 64> table{};
    for (unsigned bits = 0; bits < table.size(); ++bits)
        table[bits] = static_cast<uint8_t>(std::popcount(bits));
    return table;
}
inline constexpr std::array<uint8_t, 64> kBitCounts = BuildBitCounts();

// CorrectedIndex for a character held as bit planes: `low` and `high` the counts minus 1,
// `widen` the elements one pixel below B_2, B_3 or B_4, `narrow` those exactly on one.
inline int CorrectedPlanes(unsigned low, unsigned high, unsigned widen, unsigned narrow,
                           int modules) {
    constexpr int kMostCorrected = 3;
    unsigned index = kPlanarIndex[low | (high << 6)];
    const int sum = kModuleCharacterElements + kBitCounts[low] + 2 * kBitCounts[high];
    if (sum == modules) return static_cast<int>(index);
    const auto digit = [](unsigned bits) {
        return 1u << (2 * (kModuleCharacterElements - 1 - std::countr_zero(bits)));
    };
    if (sum < modules) {
        int missing = modules - sum;
        if (missing > kMostCorrected) return -1;
        for (unsigned s = widen & kSpaces; s != 0 && missing > 0; s &= s - 1, --missing)
            index += digit(s);
        return missing == 0 ? static_cast<int>(index) : -1;
    }
    int extra = sum - modules;
    if (extra > kMostCorrected) return -1;
    for (unsigned b = narrow & kBars; b != 0 && extra > 0; b &= b - 1, --extra)
        index -= digit(b);
    return extra == 0 ? static_cast<int>(index) : -1;
}

#if defined(PIXDOC_SSE2_WALKS)
// What sixteen elements of a forward walk are, one bit each (bit i: element i).
struct BlockBits {
    uint32_t quiet = 0;      // wider than B_5
    uint32_t low = 0;        // module count minus 1, low bit
    uint32_t high = 0;       // module count minus 1, high bit
    uint32_t widen = 0;      // one pixel below B_2, B_3 or B_4
    uint32_t narrow = 0;     // exactly B_2, B_3 or B_4
    uint32_t uncounted = 0;  // exactly B_5
    uint32_t ends = 0;       // the next change is at or right of the edge: the walk ends before
    uint32_t merging = 0;    // followed by a one-pixel element inside the walk (merging only)
};

// Sixteen elements of a forward walk judged at once: which end the walk or merge, and for the
// others their module counts, quiet zones and the corrections they allow.
class PlainBlocks {
public:
    static constexpr int kElements = 16;

    PlainBlocks(int right_edge, const ModuleWidths& widths)
        : edge_(right_edge),
          last_inside_(_mm_set1_epi16(static_cast<int16_t>(std::min(right_edge - 1, 32767)))),
          widest_(Broadcast(widths.widest())) {
        for (int k = 0; k < 3; ++k) {
            boundary_[k] = Broadcast(widths.Boundary(k + 2));
            below_boundary_[k] = Broadcast(widths.Boundary(k + 2) - 1);
        }
    }

    // Widths are judged as bytes, saturated at kWidest: exact up to it and above any smaller
    // B_5 beyond it. An edge within 16-bit columns lies below the padding past it.
    static bool Usable(const ModuleWidths& widths, int right_edge) {
        return widths.Boundary(2) >= 1 && widths.widest() < kWidest && right_edge > INT16_MIN &&
               right_edge <= INT16_MAX;
    }

    // Whether the sixteen elements from `at` and the two entries after them can be read: an
    // entry left of the edge has at least four more entries (sentinels included) after it.
    bool Readable(const int16_t* at) const {
        return at[1] < edge_ && at[5] < edge_ && at[9] < edge_ && at[13] < edge_;
    }

    // The sixteen elements from `at`.
    template <bool Merge>
    void Judge(const int16_t* at, BlockBits& bits) const {
        const __m128i to_low = Load(at + 1);
        const __m128i to_high = Load(at + 1 + kElements / 2);
        bits.ends =
            Bits(_mm_cmpgt_epi16(to_low, last_inside_), _mm_cmpgt_epi16(to_high, last_inside_));
        if constexpr (Merge) {
            bits.merging =
                Bits(TakesInNextLanes(to_low, Load(at + 2), last_inside_),
                     TakesInNextLanes(to_high, Load(at + 2 + kElements / 2), last_inside_));
        }
        // Widths (either sign) of the sixteen elements as bytes, saturated at kWidest.
        const __m128i width =
            _mm_min_epu8(_mm_packus_epi16(ElementWidths(Load(at), to_low),
                                          ElementWidths(Load(at + kElements / 2), to_high)),
                         _mm_set1_epi8(kWidest));
        bits.quiet = Bits(_mm_cmpgt_epi8(width, widest_));
        bits.uncounted = Bits(_mm_cmpeq_epi8(width, widest_));
        // At least B_2, B_3, B_4: the count minus 1 is how many of these hold.
        const __m128i two = _mm_cmpgt_epi8(width, below_boundary_[0]);
        const __m128i three = _mm_cmpgt_epi8(width, below_boundary_[1]);
        const __m128i four = _mm_cmpgt_epi8(width, below_boundary_[2]);
        bits.low = Bits(_mm_xor_si128(_mm_xor_si128(two, three), four));
        bits.high = Bits(three);
        bits.widen = Bits(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(width, below_boundary_[0]),
                                                    _mm_cmpeq_epi8(width, below_boundary_[1])),
                                       _mm_cmpeq_epi8(width, below_boundary_[2])));
        bits.narrow = Bits(_mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(width, boundary_[0]), _mm_cmpeq_epi8(width, boundary_[1])),
            _mm_cmpeq_epi8(width, boundary_[2])));
    }

    // Near the end of the list, where Readable fails: the entries from `at` through the first
    // one at or right of the edge (at most the fourteenth, since Readable failed), then entries
    // past the edge, so that Judge reads no entry beyond the walk.
    static constexpr int kPadded = 24;
    const int16_t* Pad(const int16_t* at, int16_t (&padded)[kPadded]) const {
        const __m128i past = _mm_set1_epi16(INT16_MAX);
        for (int i = 0; i < kPadded; i += 8)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(padded + i), past);
        padded[0] = at[0];
        for (int i = 1; i < kPadded; ++i) {
            padded[i] = at[i];
            if (at[i] >= edge_) break;
        }
        return padded;
    }

    // The sixteen elements of a merging walk from `at` as a list without merges: merged[k] is
    // where element k begins (found at from[k] in the walk's list) and merged[16] where the last
    // ends; where the walk ends sooner, the next entry lies past the edge. False for a walk that
    // takes an element ending past the edge, which no list without merges can hold.
    bool MergedCopy(const int16_t* at, int16_t (&merged)[kPadded],
                    const int16_t* (&from)[kElements + 1]) const {
        const __m128i past = _mm_set1_epi16(INT16_MAX);
        for (int i = 0; i < kPadded; i += 8)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(merged + i), past);
        merged[0] = at[0];
        from[0] = at;
        for (int k = 0; k < kElements; ++k) {
            if (at[1] >= edge_) return true;
            if (TakesInNext(at, edge_)) {
                if (at[3] >= edge_) return false;
                at += 3;
            } else {
                at += 1;
            }
            merged[k + 1] = at[0];
            from[k + 1] = at;
        }
        return true;
    }

private:
    static constexpr int kWidest = 127;  // widths as signed bytes

    static __m128i Broadcast(int value) { return _mm_set1_epi8(static_cast<char>(value)); }
    static __m128i Load(const int16_t* at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    }
    static uint32_t Bits(__m128i bytes) { return static_cast<uint32_t>(_mm_movemask_epi8(bytes)); }
    static uint32_t Bits(__m128i low, __m128i high) { return Bits(_mm_packs_epi16(low, high)); }

    int edge_;
    __m128i last_inside_;
    __m128i widest_;
    __m128i boundary_[3];        // B_2, B_3, B_4
    __m128i below_boundary_[3];  // one pixel less
};

// Delivers the characters that lie wholly in [*character, end), judged from `bits` (the
// previous block's and those of the block that begins at `block`), and moves *character past
// them; false when the sink ends the walk.
template <typename Sink>
[[gnu::always_inline]] inline bool BlockCharacters(const int16_t*& character, const int16_t* end,
                                                   const int16_t* block, const BlockBits& bits,
                                                   int modules, Sink& sink) {
    for (; end - character >= kModuleCharacterElements; character += kModuleCharacterElements) {
        const auto offset = static_cast<unsigned>(character - block + PlainBlocks::kElements);
        int found = -1;
        if (((bits.uncounted >> offset) & kSix) == 0) {
            found = CorrectedPlanes((bits.low >> offset) & kSix, (bits.high >> offset) & kSix,
                                    (bits.widen >> offset) & kSix, (bits.narrow >> offset) & kSix,
                                    modules);
        }
        if (!sink.Character(ModuleCharacter{found, character[0], character[6]})) return false;
    }
    return true;
}

// Delivers what the judged block that begins at `at` holds: its quiet zones and the characters
// that end in it, the character in progress beginning at `character` (at most five elements
// before `at`, in the same array). `both` keeps the previous block's bits and takes this one's.
// Returns how many of the block's elements lie inside the walk, or -1 when the sink ended it.
template <typename Sink>
[[gnu::always_inline]] inline int TakeBlock(const int16_t* at, const int16_t*& character,
                                            const BlockBits& block, BlockBits& both, int modules,
                                            Sink& sink) {
    const int inside = block.ends == 0 ? PlainBlocks::kElements : std::countr_zero(block.ends);
    const uint32_t inside_bits = (1u << inside) - 1;
    both.low = (both.low >> 16) | (block.low << 16);
    both.high = (both.high >> 16) | (block.high << 16);
    both.widen = (both.widen >> 16) | (block.widen << 16);
    both.narrow = (both.narrow >> 16) | (block.narrow << 16);
    both.uncounted = (both.uncounted >> 16) | (block.uncounted << 16);
    for (uint32_t quiet = block.quiet & inside_bits; quiet != 0; quiet &= quiet - 1) {
        const int16_t* reset = at + std::countr_zero(quiet);
        if (!BlockCharacters(character, reset, at, both, modules, sink)) return -1;
        sink.Reset();
        character = reset + 1;
    }
    if (!BlockCharacters(character, at + inside, at, both, modules, sink)) return -1;
    return inside;
}
#endif

}  // namespace module_walk

// The same walks for a whole line: forward from the bar start, or backward from the first change
// at or right of `from_column` down to `lower_limit` (at least 1), as ElementStream walks them.
// Forward, sixteen elements are judged at once (near the line's end from a padded copy, and
// where one merges from a merged copy of them); only around a merged element that ends past the
// edge, and for thresholds whose B_5 is 127 or more, the walk goes element by element.
template <bool Merge, typename Sink>
bool WalkModuleCharactersForward(const LineView& line, const ModuleWidths& widths, Sink& sink) {
    const int16_t* at = line.changes;  // the next element to judge
#if defined(PIXDOC_SSE2_WALKS)
    const int16_t* character = line.changes;  // where the character in progress begins
    using module_walk::BlockBits;
    using module_walk::PlainBlocks;
    if (!PlainBlocks::Usable(widths, line.right_edge)) {
        return WalkModuleElements<1, Merge>(at, line.right_edge, widths, sink, nullptr) ==
               WalkStop::kSink;
    }
    const PlainBlocks blocks(line.right_edge, widths);
    const int modules = widths.modules_per_character();
    for (;;) {
        // Bits of the previous block (low half) and of this one (high half): a character in
        // progress began at most five elements before this block.
        BlockBits both;
        BlockBits block;
        // Where the elements judged one by one may give way to blocks again: past the last
        // merge of the block that could not be judged at once.
        const int16_t* pause_from = nullptr;
        for (;;) {
            int16_t padded[PlainBlocks::kPadded];
            blocks.Judge<Merge>(blocks.Readable(at) ? at : blocks.Pad(at, padded), block);
            // The elements before the first that would end the walk.
            const uint32_t inside_bits =
                block.ends == 0 ? 0xFFFFu : (1u << std::countr_zero(block.ends)) - 1;
            if ((block.merging & inside_bits) != 0) {
                if constexpr (Merge) {
                    // The sixteen elements from the character in progress, merged into a copy.
                    int16_t merged[PlainBlocks::kPadded];
                    const int16_t* merged_from[PlainBlocks::kElements + 1];
                    if (blocks.MergedCopy(character, merged, merged_from)) {
                        BlockBits merged_block;
                        blocks.Judge<false>(merged, merged_block);
                        BlockBits merged_both;
                        const int16_t* merged_character = merged;
                        const int inside = module_walk::TakeBlock(
                            merged, merged_character, merged_block, merged_both, modules, sink);
                        if (inside < 0) return true;
                        if (inside < PlainBlocks::kElements) return false;
                        // On from the new character in progress: the next block begins there.
                        character = merged_from[merged_character - merged];
                        at = character;
                        continue;
                    }
                }
                pause_from = at + (31 - std::countl_zero(block.merging & inside_bits)) + 3;
                break;
            }
            const int inside = module_walk::TakeBlock(at, character, block, both, modules, sink);
            if (inside < 0) return true;
            if (inside < PlainBlocks::kElements) return false;
            at += PlainBlocks::kElements;
        }
        // Element by element from the character in progress (none of the elements before `at`
        // is a quiet zone or merges) through the merges of the block, or to the end.
        const WalkStop stop =
            WalkModuleElements<1, Merge>(character, line.right_edge, widths, sink, pause_from);
        if (stop != WalkStop::kPause) return stop == WalkStop::kSink;
        at = character;
    }
#else
    return WalkModuleElements<1, Merge>(at, line.right_edge, widths, sink, nullptr) ==
           WalkStop::kSink;
#endif
}

template <typename Sink>
bool WalkModuleCharactersForward(const LineView& line, bool merge, const ModuleWidths& widths,
                                 Sink& sink) {
    return merge ? WalkModuleCharactersForward<true>(line, widths, sink)
                 : WalkModuleCharactersForward<false>(line, widths, sink);
}

template <typename Sink>
bool WalkModuleCharactersBackward(const LineView& line, int from_column, int lower_limit,
                                  bool merge, const ModuleWidths& widths, Sink& sink) {
    const int16_t* p = line.changes;
    while (*p < from_column && *p < line.right_edge)
        ++p;
    const int limit = lower_limit < 1 ? 1 : lower_limit;
    const WalkStop stop = merge ? WalkModuleElements<-1, true>(p, limit, widths, sink, nullptr)
                                : WalkModuleElements<-1, false>(p, limit, widths, sink, nullptr);
    return stop == WalkStop::kSink;
}

}  // namespace pixdoc::barcode
