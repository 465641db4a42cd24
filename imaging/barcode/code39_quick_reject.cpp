#include "imaging/barcode/code39_quick_reject.h"

#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <utility>

#include "imaging/barcode/code39_rules.h"
#include "imaging/barcode/code39_table.h"
#include "imaging/barcode/element_width.h"
#include "imaging/barcode/simd.h"

namespace pixdoc::barcode {
namespace {

using code39::IsGap;
using code39::kElementsPerCharacter;
using code39::kGapDivisor;

// Without merging, element k of the stream runs from changes[k] to changes[k + 1] and is a bar
// for even k; the merging walk keeps ElementStream's rule.

constexpr unsigned kNineElements = (1u << kElementsPerCharacter) - 1;

// The merging walk of ElementStream reduced to widths: visit(width, bar) for every element until
// it returns true (then true is returned). `stop` receives the change where the walk stopped, so
// that the white run to the right edge can be measured.
template <typename Visit>
bool WalkMergedWidths(const LineView& line, Visit&& visit, const int16_t*& stop) {
    const int16_t* at = line.changes;
    const int edge = line.right_edge;
    bool bar = true;
    while (at[1] < edge) {
        const int advance = MergedAdvance(at, edge);
        const int width = ElementWidth(at[0], at[advance]);
        at += advance;
        if (visit(width, bar)) {
            stop = at;
            return true;
        }
        bar = !bar;
    }
    stop = at;
    return false;
}

// The last nine elements as bit registers: wide in the first pass (w >= T), wide in the second
// pass (bars w > T, spaces w >= T), and too wide to lie inside a group (w > 2T, which resets
// it). Elements before the walk count as too wide, so a window is clean only once nine elements
// have been seen.
struct Window {
    unsigned first_pass = 0;
    unsigned second_pass = 0;
    unsigned too_wide = kNineElements;

    void Shift(int width, bool bar, int threshold) {
        first_pass = (first_pass << 1) | (width >= threshold ? 1u : 0u);
        second_pass = (second_pass << 1) | (width >= threshold + (bar ? 1 : 0) ? 1u : 0u);
        too_wide = (too_wide << 1) | (width > 2 * threshold ? 1u : 0u);
    }

    bool Clean() const { return (too_wide & kNineElements) == 0; }
    unsigned First() const { return first_pass & kNineElements; }
    unsigned Second() const { return second_pass & kNineElements; }
};

constexpr auto BuildStartStopSet() {
    std::array<bool, kNineElements + 1> set{};
    set[kCode39StartForward] = true;
    set[kCode39StartBackward] = true;
    return set;
}

constexpr auto kStartStop = BuildStartStopSet();

bool IsStartStop(const Window& w) {
    return kStartStop[w.First()] || kStartStop[w.Second()];
}

// A standard read holds a start group and a later stop group, each nine elements none wider than
// 2T whose first- or second-pass pattern is 148 or 82 (the start is looked up in the forward
// column, the stop in the read's column, where "*" is 148 forward and 82 backward). Groups follow
// each other with one gap between them, and at least one data character stands between start
// and stop, so the stop's last element comes at least 20 elements after the start's last.
constexpr int kStartToStop = 2 * (kElementsPerCharacter + 1);

// Notes a start/stop window ending at element `index`; true once two lie far enough apart.
bool NoteStartStop(const Window& w, int index, int& first) {
    if (!w.Clean()) return false;
    if (first < 0) first = index;
    return index - first >= kStartToStop;
}

bool MayHoldStandardReadMerged(const LineView& line, int threshold) {
    Window window;
    int index = 0;
    int first = -1;
    const int16_t* stop;
    return WalkMergedWidths(
        line,
        [&](int width, bool bar) {
            window.Shift(width, bar, threshold);
            ++index;
            return IsStartStop(window) && NoteStartStop(window, index, first);
        },
        stop);
}

bool MayHoldStandardReadPlain(const LineView& line, int threshold) {
    // Bar and space in one step, so that each knows its colour.
    const int16_t* c = line.changes;
    const int edge = line.right_edge;
    Window window;
    int first = -1;
    for (int k = 0;; k += 2) {
        if (c[k + 1] >= edge) return false;
        window.Shift(ElementWidth(c[k], c[k + 1]), true, threshold);
        if (IsStartStop(window) && NoteStartStop(window, k, first)) return true;
        if (c[k + 2] >= edge) return false;
        window.Shift(ElementWidth(c[k + 1], c[k + 2]), false, threshold);
        if (IsStartStop(window) && NoteStartStop(window, k + 1, first)) return true;
    }
}

bool IsCharacter(unsigned pattern) {
    return FindCode39Forward(static_cast<int>(pattern)) != nullptr;
}

bool IsCharacter(const Window& w) {
    return w.Clean() && (IsCharacter(w.First()) || IsCharacter(w.Second()));
}

// A nude read ends after an accepted character: nine elements none wider than 2T whose first- or
// second-pass pattern is in the table, followed directly by an element that is no gap (w / 4 > T)
// or by the end of the walk with a white run to the right edge that is no gap.
bool MayHoldNudeReadMerged(const LineView& line, int threshold) {
    Window window;
    const int16_t* stop;
    if (WalkMergedWidths(
            line,
            [&](int width, bool bar) {
                if (!IsGap(width, threshold) && IsCharacter(window)) return true;
                window.Shift(width, bar, threshold);
                return false;
            },
            stop))
        return true;
    return !IsGap(ElementWidth(stop[0], stop[1]), threshold) && IsCharacter(window);
}

// Without merging, the nine elements before a quiet zone are looked at only when one is met,
// from the last backward, so that one too wide for a group ends the look early.
bool CharacterEndsAt(const int16_t* c, int k, int threshold) {
    if (k < kElementsPerCharacter) return false;
    unsigned first_pass = 0;
    unsigned second_pass = 0;
    for (int bit = 0; bit < kElementsPerCharacter; ++bit) {
        const int j = k - 1 - bit;
        const int width = ElementWidth(c[j], c[j + 1]);
        if (width > 2 * threshold) return false;
        first_pass |= (width >= threshold ? 1u : 0u) << bit;
        second_pass |= (width >= threshold + (j % 2 == 0 ? 1 : 0) ? 1u : 0u) << bit;
    }
    return IsCharacter(first_pass) || IsCharacter(second_pass);
}

#if defined(PIXDOC_SSE2_WALKS)
// The plain walk eight elements at a time: each element's classes become one bit of a 64-bit
// word, and the windows of all elements of a word are judged together. Each word repeats the
// last kCarried elements of the word before, so that a window of nine and the element after it
// always lie in one word; the first word's carried bits stand for no element and count as too
// wide.
constexpr int kWordBits = 64;
constexpr int kCarried = 16;
constexpr int kLanes = 8;
constexpr uint64_t kCarriedBits = (uint64_t{1} << kCarried) - 1;

struct ClassWord {
    uint64_t first_pass = 0;
    uint64_t second_pass = 0;
    uint64_t too_wide = kCarriedBits;
    uint64_t quiet = 0;  // no gap: w / 4 > T
};

// The number of elements of the plain walk (the first k with changes[k + 1] at or right of the
// edge), four changes at a time: the four read from one change inside the walk stay within the
// sentinels. False when a change is negative or the edge does not fit 16 bits: widths in 16-bit
// lanes are exact only for changes of 0 and above.
bool CountPlainElements(const LineView& line, int& count) {
    if (line.right_edge < INT16_MIN || line.right_edge > INT16_MAX) return false;
    const int16_t* c = line.changes;
    const __m128i edge = _mm_set1_epi16(static_cast<int16_t>(line.right_edge));
    __m128i seen = _mm_set1_epi16(c[0]);
    // Four steps a turn; each reads on only once the one before found all four inside.
    auto ends_within_four = [&](int k) {
        const __m128i next = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(c + k + 1));
        seen = _mm_or_si128(seen, next);
        const unsigned inside = _mm_movemask_epi8(_mm_cmplt_epi16(next, edge)) & 0xFFu;
        if (inside == 0xFFu) return false;
        count = k + std::countr_zero(~inside) / 2;
        return true;
    };
    for (int k = 0;; k += 16)
        if (ends_within_four(k) || ends_within_four(k + 4) || ends_within_four(k + 8) ||
            ends_within_four(k + 12))
            break;
    constexpr int kSignBits = 0xAAAA;  // the high byte of every 16-bit lane
    return (_mm_movemask_epi8(seen) & kSignBits) == 0;
}

// Builds the class words of a walk from its element widths, eight at a time or one by one, and
// hands each full word to visit(word, fresh, base): bit i of a word stands for element base + i,
// and `fresh` marks the elements it judges (those it does not carry). visit returns true to stop
// the walk, and so do the adding functions. Quiet elements are classified only `WithQuiet`.
template <bool WithQuiet, typename Visit>
class ClassWords {
public:
    ClassWords(int threshold, Visit& visit) : threshold_(threshold), visit_(visit) {
        const auto t = static_cast<int16_t>(threshold);
        first_limit_ = _mm_set1_epi16(static_cast<int16_t>(t - 1));
        second_limit_ = _mm_setr_epi16(t, t - 1, t, t - 1, t, t - 1, t, t - 1);
        second_limit_space_first_ = _mm_setr_epi16(t - 1, t, t - 1, t, t - 1, t, t - 1, t);
        too_wide_limit_ = _mm_set1_epi16(static_cast<int16_t>(2 * t));
        quiet_limit_ = _mm_set1_epi16(static_cast<int16_t>(kGapDivisor * t + 3));
    }

    // Eight widths of 0 .. INT16_MAX whose first is a bar's.
    bool AddEight(__m128i w) {
        const unsigned passes = _mm_movemask_epi8(
            _mm_packs_epi16(_mm_cmpgt_epi16(w, first_limit_), _mm_cmpgt_epi16(w, second_limit_)));
        const __m128i too_wide = _mm_cmpgt_epi16(w, too_wide_limit_);
        const unsigned wide = _mm_movemask_epi8(
            _mm_packs_epi16(too_wide, WithQuiet ? _mm_cmpgt_epi16(w, quiet_limit_) : too_wide));
        word_.first_pass |= uint64_t{passes & 0xFFu} << filled_;
        word_.second_pass |= uint64_t{passes >> kLanes} << filled_;
        word_.too_wide |= uint64_t{wide & 0xFFu} << filled_;
        if (WithQuiet) word_.quiet |= uint64_t{wide >> kLanes} << filled_;
        filled_ += kLanes;
        return filled_ == kWordBits && Flush();
    }

    // The last `n` (below eight) of eight widths of 0 .. INT16_MAX whose first is a space's
    // when `space_first`; the word has room for them (it takes eight at a time until then).
    bool AddLast(__m128i w, int n, bool space_first) {
        return AddLanes(w, kLanes - n, n, space_first ? second_limit_space_first_ : second_limit_);
    }

    // The first `n` (below eight) of eight widths of 0 .. INT16_MAX whose first is a bar's.
    bool AddFirst(__m128i w, int n) { return AddLanes(w, 0, n, second_limit_); }

    bool AddOne(int width, bool bar) {
        word_.first_pass |= uint64_t{width >= threshold_} << filled_;
        word_.second_pass |= uint64_t{width >= threshold_ + (bar ? 1 : 0)} << filled_;
        word_.too_wide |= uint64_t{width > 2 * threshold_} << filled_;
        word_.quiet |= uint64_t{!IsGap(width, threshold_)} << filled_;
        ++filled_;
        return filled_ == kWordBits && Flush();
    }

    bool Finish() { return filled_ > kCarried && Flush(); }

private:
    // Adds lanes from .. from + n - 1 of `w`.
    bool AddLanes(__m128i w, int from, int n, __m128i second_limit) {
        const unsigned passes = _mm_movemask_epi8(
            _mm_packs_epi16(_mm_cmpgt_epi16(w, first_limit_), _mm_cmpgt_epi16(w, second_limit)));
        const unsigned wide = _mm_movemask_epi8(
            _mm_packs_epi16(_mm_cmpgt_epi16(w, too_wide_limit_), _mm_cmpgt_epi16(w, quiet_limit_)));
        const unsigned lanes = (1u << n) - 1;
        word_.first_pass |= uint64_t{(passes >> from) & lanes} << filled_;
        word_.second_pass |= uint64_t{(passes >> (kLanes + from)) & lanes} << filled_;
        word_.too_wide |= uint64_t{(wide >> from) & lanes} << filled_;
        word_.quiet |= uint64_t{(wide >> (kLanes + from)) & lanes} << filled_;
        filled_ += n;
        return filled_ == kWordBits && Flush();
    }

    bool Flush() {
        const uint64_t fresh =
            filled_ == kWordBits ? ~kCarriedBits : ((uint64_t{1} << filled_) - 1) & ~kCarriedBits;
        if (visit_(word_, fresh, base_)) return true;
        constexpr int kDropped = kWordBits - kCarried;
        word_.first_pass >>= kDropped;
        word_.second_pass >>= kDropped;
        word_.too_wide >>= kDropped;
        word_.quiet >>= kDropped;
        base_ += kDropped;
        filled_ = kCarried;
        return false;
    }

    int threshold_;
    Visit& visit_;
    __m128i first_limit_, second_limit_, second_limit_space_first_, too_wide_limit_, quiet_limit_;
    ClassWord word_;
    int base_ = -kCarried;
    int filled_ = kCarried;
};

// Feeds the widths of the walk over the `count` plain elements of `line` (merged when Merge is
// on) to the class words. With `close_with_edge_run`, a white run to the right edge that is no
// gap is added as one more element: the quiet zone that completes a nude read.
template <bool Merge, bool WithQuiet, typename Visit>
bool WalkWords(const LineView& line, int count, int threshold, bool close_with_edge_run,
               Visit&& visit) {
    const int16_t* c = line.changes;
    ClassWords<WithQuiet, std::remove_reference_t<Visit>> words(threshold, visit);
    int k = 0;      // the change the walk stands on
    int index = 0;  // elements taken so far
    if constexpr (!Merge) {
        for (; k + kLanes <= count; k += kLanes, index += kLanes) {
            const __m128i from = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + k));
            const __m128i to = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + k + 1));
            if (words.AddEight(ElementWidths(from, to))) return true;
        }
        const int rest = count - k;
        if (rest > 0 && count >= kLanes) {
            // The last eight elements again, of which the last `rest` are new.
            const int from_k = count - kLanes;
            const __m128i from = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + from_k));
            const __m128i to = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + from_k + 1));
            if (words.AddLast(ElementWidths(from, to), rest, from_k % 2 != 0)) return true;
            k = count;
            index = count;
        }
        for (; k < count; ++k, ++index)
            if (words.AddOne(ElementWidth(c[k], c[k + 1]), index % 2 == 0)) return true;
    } else {
        // Where none of the next eight elements after k is one pixel wide, the walk takes eight
        // plain elements unmerged.
        alignas(16) int16_t widths[2 * kLanes] = {};
        int held = 0;
        auto pass_on = [&] {
            if (held < kLanes) return false;
            held -= kLanes;
            index += kLanes;
            const __m128i rest = _mm_load_si128(reinterpret_cast<const __m128i*>(widths + kLanes));
            const bool stop =
                words.AddEight(_mm_load_si128(reinterpret_cast<const __m128i*>(widths)));
            _mm_store_si128(reinterpret_cast<__m128i*>(widths), rest);
            return stop;
        };
        const __m128i one = _mm_set1_epi16(1);
        while (k < count) {
            if (k + kLanes <= count) {
                const __m128i from = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + k));
                const __m128i to = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + k + 1));
                const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + k + 2));
                if (_mm_movemask_epi8(_mm_cmpeq_epi16(ElementWidths(to, after), one)) == 0) {
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(widths + held),
                                     ElementWidths(from, to));
                    held += kLanes;
                    k += kLanes;
                    if (pass_on()) return true;
                    continue;
                }
            }
            const int advance = MergedAdvance(c + k, line.right_edge);
            widths[held++] = static_cast<int16_t>(ElementWidth(c[k], c[k + advance]));
            k += advance;
            if (pass_on()) return true;
        }
        if (held > 0 &&
            words.AddFirst(_mm_load_si128(reinterpret_cast<const __m128i*>(widths)), held))
            return true;
        index += held;
    }
    if (close_with_edge_run) {
        const int run = ElementWidth(c[k], c[k + 1]);
        if (!IsGap(run, threshold) && words.AddOne(run, index % 2 == 0)) return true;
    }
    return words.Finish();
}

// The 16-bit lanes hold every limit up to the quiet zone's.
bool FitsLanes(int threshold) {
    return threshold <= (INT16_MAX - 3) / kGapDivisor;
}

// Bit j set when none of bits j-8 .. j is set.
uint64_t CleanWindows(uint64_t too_wide) {
    const uint64_t two = too_wide | too_wide << 1;
    const uint64_t four = two | two << 2;
    const uint64_t eight = four | four << 4;
    return ~(eight | too_wide << 8);
}

// Bit j set when bits j-8 .. j of `bits` read "*" forward (148) or backward (82); bit j-k stands
// for bit k of the pattern.
uint64_t StartStopReadings(uint64_t bits) {
    static_assert(kCode39StartForward == 0b010'010'100 && kCode39StartBackward == 0b001'010'010);
    const uint64_t s1 = bits << 1, s2 = bits << 2, s4 = bits << 4, s6 = bits << 6, s7 = bits << 7;
    const uint64_t narrow_in_both = ~(bits | bits << 3 | bits << 5 | bits << 8);
    return narrow_in_both & s4 & ((s2 & s7 & ~(s1 | s6)) | (s1 & s6 & ~(s2 | s7)));
}

// The fresh elements of a word that end a start/stop window.
uint64_t StartStopWindows(const ClassWord& w, uint64_t fresh) {
    const uint64_t clean = CleanWindows(w.too_wide) & fresh;
    if (clean == 0) return 0;
    uint64_t readings = StartStopReadings(w.first_pass);
    // The passes differ only where a bar is exactly T wide.
    if (w.second_pass != w.first_pass) readings |= StartStopReadings(w.second_pass);
    return clean & readings;
}

// Whether the lanes can take the line, and then its count of plain elements. A merging walk
// over a list that is not ascending may go on past the plain walk's end: a one-pixel element
// two before the first change at the edge merges over it, and the walk goes on if the change
// after it lies left of the edge again. Such a line is left to the scalar walk.
template <bool Merge>
bool LanesTake(const LineView& line, int threshold, int& count) {
    if (!FitsLanes(threshold) || !CountPlainElements(line, count)) return false;
    return !Merge || line.changes[count + 2] >= line.right_edge;
}

// true / false for a read that may be there or not; nothing when the lanes cannot take the line.
template <bool Merge>
std::optional<bool> MayHoldStandardReadLanes(const LineView& line, int threshold) {
    int count = 0;
    if (!LanesTake<Merge>(line, threshold, count)) return std::nullopt;
    int first = -1;
    return WalkWords<Merge, false>(
        line, count, threshold, false, [&](const ClassWord& w, uint64_t fresh, int base) {
            const uint64_t hits = StartStopWindows(w, fresh);
            if (hits == 0) return false;
            if (first < 0) first = base + std::countr_zero(hits);
            const int last = base + kWordBits - 1 - std::countl_zero(hits);
            return last - first >= kStartToStop;
        });
}

// Whether the nine-element window with its first element at bit 0 is a character.
bool IsCharacterFromBitZero(unsigned bits) {
    static const auto kTable = [] {
        std::array<bool, kNineElements + 1> table{};
        for (unsigned bits = 0; bits <= kNineElements; ++bits) {
            unsigned pattern = 0;
            for (int k = 0; k < kElementsPerCharacter; ++k)
                pattern |= ((bits >> k) & 1u) << (kElementsPerCharacter - 1 - k);
            table[bits] = IsCharacter(pattern);
        }
        return table;
    }();
    return kTable[bits];
}

// Besides the answer, `resume` receives (without merging) a change from which the decoder reaches
// the same result: the one after the last quiet space before the first window that may end a
// read. Such a space is no gap after an accepted character (that window would come first), so
// the decoder meets it in its gap-free state and forgets everything there: group, text and the
// width it compares with only after a new first character. Starting at the bar after it is
// starting afresh.
template <bool Merge>
std::optional<bool> MayHoldNudeReadLanes(const LineView& line, int threshold, int& resume) {
    int count = 0;
    if (!LanesTake<Merge>(line, threshold, count)) return std::nullopt;
    constexpr uint64_t kSpaces = 0xAAAA'AAAA'AAAA'AAAAu;  // words start at even elements
    int last_space = -1;
    const bool found = WalkWords<Merge, true>(
        line, count, threshold, true, [&](const ClassWord& w, uint64_t fresh, int base) {
            const uint64_t quiet = w.quiet & fresh;
            // Quiet elements right after a window free of too-wide elements.
            uint64_t ends = quiet & (CleanWindows(w.too_wide) << 1);
            for (; ends != 0; ends &= ends - 1) {
                const int from = std::countr_zero(ends) - kElementsPerCharacter;
                if (!IsCharacterFromBitZero((w.first_pass >> from) & kNineElements) &&
                    !IsCharacterFromBitZero((w.second_pass >> from) & kNineElements))
                    continue;
                const uint64_t before = quiet & kSpaces & ((uint64_t{1} << from) - 1);
                if (before != 0) last_space = base + kWordBits - 1 - std::countl_zero(before);
                return true;
            }
            const uint64_t spaces = quiet & kSpaces;
            if (spaces != 0) last_space = base + kWordBits - 1 - std::countl_zero(spaces);
            return false;
        });
    if (found && !Merge) resume = last_space + 1;
    return found;
}
#else
template <bool Merge>
std::optional<bool> MayHoldStandardReadLanes(const LineView&, int) {
    return std::nullopt;
}
template <bool Merge>
std::optional<bool> MayHoldNudeReadLanes(const LineView&, int, int&) {
    return std::nullopt;
}
#endif

}  // namespace

bool MayHoldCode39Read(const LineView& line, int threshold, bool merge_single_pixels) {
    if (merge_single_pixels) {
        if (const auto lanes = MayHoldStandardReadLanes<true>(line, threshold)) return *lanes;
        return MayHoldStandardReadMerged(line, threshold);
    }
    if (const auto lanes = MayHoldStandardReadLanes<false>(line, threshold)) return *lanes;
    return MayHoldStandardReadPlain(line, threshold);
}

bool MayHoldCode39NudeRead(const LineView& line, int threshold, bool merge_single_pixels,
                           int& resume) {
    if (merge_single_pixels) {
        if (const auto lanes = MayHoldNudeReadLanes<true>(line, threshold, resume)) return *lanes;
        return MayHoldNudeReadMerged(line, threshold);
    }
    if (const auto lanes = MayHoldNudeReadLanes<false>(line, threshold, resume)) return *lanes;
    const int16_t* c = line.changes;
    const int edge = line.right_edge;
    int k = 0;
    for (; c[k + 1] < edge; ++k) {
        if (!IsGap(ElementWidth(c[k], c[k + 1]), threshold) && CharacterEndsAt(c, k, threshold))
            return true;
    }
    return !IsGap(ElementWidth(c[k], c[k + 1]), threshold) && CharacterEndsAt(c, k, threshold);
}

}  // namespace pixdoc::barcode
