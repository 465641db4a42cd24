#include "imaging/barcode/two_of_five.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>

#include "imaging/barcode/candidate_text.h"
#include "imaging/barcode/element_stream.h"
#include "imaging/barcode/element_width.h"
#include "imaging/barcode/simd.h"
#include "imaging/barcode/two_of_five_table.h"
#include "imaging/barcode/two_of_five_walk.h"

namespace pixdoc::barcode {
namespace {

constexpr int kMinimumThreshold = 2;
constexpr char kFrame = '*';
constexpr int kMaxWidthDifference = 4;  // pixels between neighbouring digit groups

using two_of_five_walk::FirstRunOf;
using two_of_five_walk::ForEachReset;
using two_of_five_walk::HasRunOf;
using two_of_five_walk::MergedWalk;
using two_of_five_walk::RawElements;

// ---- Interleaved 2 of 5 ----

constexpr int kInterleavedResetFactor = 3;  // an element wider than 3T ends the attempt
constexpr int kPairElements = 2 * kTwoOfFiveElements;
constexpr int kStartElements = 4;    // narrow bar, space, bar, space
constexpr int kStopElements = 3;     // wide bar, narrow space, narrow bar
constexpr int kReclassifySteps = 2;  // the limit moves by 1, then by 2

// One of the two interleaved patterns of a digit pair: every second element from `first`.
unsigned Pattern(const int* widths, int first, int wider_than) {
    unsigned pattern = 0;
    for (int i = first; i < kPairElements; i += 2) {
        pattern = (pattern << 1) | (widths[i] > wider_than ? 1u : 0u);
    }
    return pattern;
}

// The number of wide elements of every 5-bit pattern.
constexpr auto kWideCounts = [] {
    std::array<int, 1u << kTwoOfFiveElements> counts{};
    for (unsigned pattern = 0; pattern < counts.size(); ++pattern)
        counts[pattern] = std::popcount(pattern);
    return counts;
}();

int WideCount(unsigned pattern) {
    return kWideCounts[pattern];
}

// A pattern with the wrong number of wide elements, classified again with the limit moved
// toward two wide elements.
unsigned Reclassify(const int* widths, int first, int threshold, unsigned pattern) {
    const bool too_few = WideCount(pattern) < kTwoOfFiveWideElements;
    for (int step = 1; step <= kReclassifySteps; ++step) {
        pattern = Pattern(widths, first, too_few ? threshold - step : threshold + step);
        if (too_few ? WideCount(pattern) >= kTwoOfFiveWideElements
                    : WideCount(pattern) <= kTwoOfFiveWideElements) {
            break;
        }
    }
    return pattern;
}

// The two patterns of a digit pair as the interleaved decoder classifies them.
struct PairPatterns {
    unsigned even;
    unsigned odd;
};

PairPatterns ClassifyPair(const int* widths, int threshold) {
    // Even elements are wide when wider than T, odd ones when T or wider.
    PairPatterns p{Pattern(widths, 0, threshold), Pattern(widths, 1, threshold - 1)};
    const bool even_ok = WideCount(p.even) == kTwoOfFiveWideElements;
    const bool odd_ok = WideCount(p.odd) == kTwoOfFiveWideElements;
    if (even_ok && !odd_ok) p.odd = Reclassify(widths, 1, threshold, p.odd);
    if (!even_ok && odd_ok) p.even = Reclassify(widths, 0, threshold, p.even);
    return p;
}

bool PairReads(const int* widths, int threshold, bool backward) {
    const PairPatterns p = ClassifyPair(widths, threshold);
    return FindTwoOfFiveDigit(p.even, backward) >= 0 && FindTwoOfFiveDigit(p.odd, backward) >= 0;
}

class InterleavedReader {
public:
    explicit InterleavedReader(int threshold) : t_(threshold) {}

    bool Read(ElementStream& stream, Candidate& out) {
        Element e;
        while (stream.Next(e)) {
            if (e.width > kInterleavedResetFactor * t_) {
                if (Stop(out)) return true;
                Reset();
                continue;
            }
            if (count_ == 0 && text_.empty()) start_column_ = e.start;
            widths_[count_++] = e.width;
            last_end_ = e.end;
            if (text_.empty()) {
                SeekStart();
            } else if (count_ == kPairElements) {
                ReadPair();
                count_ = 0;
            }
        }
        return Stop(out);
    }

private:
    void Reset() {
        DropText();
        count_ = 0;
    }

    void DropText() {
        text_.Clear();
        backward_ = false;
        previous_width_ = -1;
    }

    bool AllNarrow(int count) const {
        for (int i = 0; i < count; ++i) {
            if (widths_[i] > t_) return false;
        }
        return true;
    }

    // The start read forward is four narrow elements; the stop met from the right is a narrow
    // bar, a narrow space and a wide bar.
    void SeekStart() {
        if (count_ == kStopElements && widths_[0] <= t_ && widths_[1] <= t_ && widths_[2] > t_) {
            text_.Append(kFrame);
            backward_ = true;
            count_ = 0;
        } else if (count_ == kStartElements) {
            if (AllNarrow(kStartElements)) {
                text_.Append(kFrame);
                backward_ = false;
            }
            count_ = 0;
        }
    }

    void ReadPair() {
        int width = 0;
        for (int i = 0; i < kPairElements; ++i)
            width += widths_[i];
        const PairPatterns patterns = ClassifyPair(widths_, t_);
        const int first = FindTwoOfFiveDigit(patterns.even, backward_);
        const int second = FindTwoOfFiveDigit(patterns.odd, backward_);
        if (first < 0 || second < 0) {
            DropText();
            return;
        }
        if (previous_width_ >= 0 && std::abs(width - previous_width_) > kMaxWidthDifference) {
            DropText();
            return;
        }
        if (!text_.Append(static_cast<char>('0' + first)) ||
            !text_.Append(static_cast<char>('0' + second))) {
            DropText();
            return;
        }
        previous_width_ = width;
    }

    // Called when an element wider than 3T arrives or the line ends.
    bool Stop(Candidate& out) {
        if (text_.size() < 3) return false;
        if (!backward_) {
            const bool stop =
                count_ == kStopElements && widths_[0] >= t_ && widths_[1] <= t_ && widths_[2] <= t_;
            if (!stop) return false;
        } else if (count_ != kStartElements || !AllNarrow(kStartElements)) {
            return false;
        }
        if (!text_.Append(kFrame)) return false;
        if (backward_) text_.ReverseAndMark();
        text_.CopyTo(out);
        out.start_column = start_column_;
        out.end_column = last_end_ - 1;
        return true;
    }

    int t_;
    CandidateText text_;
    bool backward_ = false;
    int widths_[kPairElements] = {};
    int count_ = 0;
    int previous_width_ = -1;
    int start_column_ = 0;
    int last_end_ = 0;
};

// Quick rejection. Every element wider than 3T resets the reader, and a read is only returned
// at such an element or at the line's end, so the elements since the previous reset hold the
// whole symbol: a start (four elements, or three for the stop met from the right), at least one
// digit pair and a stop - 17 elements at least - and they end with the stop right after a pair
// that reads: forward, an element of T or more and two of at most T; from the right, four of at
// most T. Returns the first element of the first run that may hold a read (the reader starts
// there as it would after the reset), or null when no run can.
constexpr int kInterleavedMinRun = kStartElements + kPairElements + kStopElements;
constexpr int kRecentElements = 16;  // a power of two above the stop and its pair

// `at(back)` is the width of the run's back-th last element.
template <class Back>
bool InterleavedStopCloses(Back at, int t) {
    int pair[kPairElements];
    if (at(3) >= t && at(2) <= t && at(1) <= t) {
        for (int i = 0; i < kPairElements; ++i)
            pair[i] = at(kStopElements + kPairElements - i);
        if (PairReads(pair, t, false)) return true;
    }
    if (at(4) <= t && at(3) <= t && at(2) <= t && at(1) <= t) {
        for (int i = 0; i < kPairElements; ++i)
            pair[i] = at(kStartElements + kPairElements - i);
        if (PairReads(pair, t, true)) return true;
    }
    return false;
}

const int16_t* FirstInterleavedRun(const LineView& line, int t) {
    const RawElements e(line);
    int start = 0;
    // The run [start, end) is ended by a reset or the line's end.
    const auto closes = [&](int end) {
        // Both stops end in two elements of at most T.
        return end - start >= kInterleavedMinRun && e.width(end - 1) <= t &&
               e.width(end - 2) <= t &&
               InterleavedStopCloses([&](int back) { return e.width(end - back); }, t);
    };
    const auto run_ends = [&](int k) {
        if (closes(k)) return true;
        start = k + 1;
        return false;
    };
    if (ForEachReset(e, kInterleavedResetFactor * t, run_ends) || closes(e.count())) {
        return e.start(start);
    }
    return nullptr;
}

// Elements from position `at` that are no resets and not followed by a one-pixel element come
// out of the merged walk unmerged. Returns how many of the next eight are such, in a row, and
// puts their widths in `widths`. Needs nine elements on.
int PlainElements(const int16_t* at, int reset_above, int16_t* widths) {
#if defined(PIXDOC_SSE2_WALKS)
    const auto from = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const auto to = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 1));
    const auto next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 2));
    const auto width = ElementWidths(from, to);
    const auto next_width = ElementWidths(to, next);
    const auto reset = _mm_cmpgt_epi16(width, _mm_set1_epi16(static_cast<int16_t>(reset_above)));
    const auto one_pixel = _mm_cmpeq_epi16(next_width, _mm_set1_epi16(1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(widths), width);
    const auto stops = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(reset, one_pixel)));
    return stops == 0 ? 8 : std::countr_zero(stops) / 2;  // two bits per element
#else
    (void)at;
    (void)reset_above;
    (void)widths;
    return 0;
#endif
}

const int16_t* FirstMergedInterleavedRun(const LineView& line, int t) {
    const int reset_above = kInterleavedResetFactor * t;
    const RawElements e(line);
    if (!HasRunOf(line, e, kInterleavedMinRun, reset_above)) return nullptr;
    const int16_t* at = line.changes;
    const int edge = line.right_edge;
    const bool eights = reset_above >= 0 && reset_above < INT16_MAX;
    int position = 0;
    int run = 0;
    int recent[kRecentElements];
    int count = 0;
    const auto back = [&](int n) { return recent[(count - n) & (kRecentElements - 1)]; };
    for (;;) {
        while (eights && position + 9 <= e.count()) {
            int16_t widths[8];
            const int plain = PlainElements(at + position, reset_above, widths);
            for (int i = 0; i < plain; ++i)
                recent[(count + i) & (kRecentElements - 1)] = widths[i];
            count += plain;
            position += plain;
            if (plain < 8) break;
        }
        // One element as ElementStream::Next takes it.
        if (at[position + 1] >= edge) break;
        const int advance = MergedAdvance(at + position, edge);
        const int width = ElementWidth(at[position], at[position + advance]);
        position += advance;
        if (width > reset_above) {
            if (count >= kInterleavedMinRun && InterleavedStopCloses(back, t)) return at + run;
            count = 0;
            run = position;
            continue;
        }
        recent[count & (kRecentElements - 1)] = width;
        ++count;
    }
    if (count >= kInterleavedMinRun && InterleavedStopCloses(back, t)) return at + run;
    return nullptr;
}

// ---- IATA 2 of 5 ----

constexpr int kIataResetFactor = 2;  // an element wider than 2T resets
constexpr int kIataGapDivisor = 3;   // a space with width / 3 <= T is a gap
constexpr int kIataStopSpaceFactor = 2;
constexpr int kIataGuardBars = 2;
constexpr int kIataDigits = 15;
constexpr int kIataTextLength = kIataDigits + 2;
constexpr int kIataMinStopText = 5;  // more than four characters before the stop
constexpr unsigned kIataStartForward = 0b00;
constexpr unsigned kIataStartBackward = 0b01;
constexpr unsigned kIataStopForward = 0b10;
constexpr unsigned kIataStopBackward = 0b00;

class IataReader {
public:
    explicit IataReader(int threshold) : t_(threshold) {}

    bool Read(ElementStream& stream, Candidate& out) {
        Element bar;
        while (stream.Next(bar)) {
            if (bar.width > kIataResetFactor * t_) {
                Reset();
                continue;
            }
            if (!searching_) continue;
            if (text_.empty() && bars_ == 0) start_column_ = bar.start;
            pattern_ = (pattern_ << 1) | (bar.width >= t_ ? 1u : 0u);
            group_width_ += bar.width;
            ++bars_;
            last_bar_end_ = bar.end;

            // The end of the line counts as a wide space, as it does for the interleaved stop.
            Element gap;
            const bool line_ends = !stream.Peek(gap);
            const bool wide_space = line_ends || stream.WidthToEdge() >= kIataStopSpaceFactor * t_;
            if (!text_.empty() && bars_ == kIataGuardBars && wide_space &&
                text_.size() >= kIataMinStopText) {
                if (Stop(out)) return true;
                continue;
            }
            if (!line_ends && gap.width / kIataGapDivisor <= t_) {
                stream.Next(gap);
                group_width_ += gap.width;
            }
            if (text_.empty()) {
                if (bars_ == kIataGuardBars) Start();
            } else if (bars_ == kTwoOfFiveElements) {
                Digit();
            }
        }
        return false;
    }

private:
    void Reset() {
        text_.Clear();
        backward_ = false;
        searching_ = true;
        reference_width_ = -1;
        NewGroup();
    }

    void NewGroup() {
        bars_ = 0;
        pattern_ = 0;
        group_width_ = 0;
    }

    void Start() {
        if (pattern_ == kIataStartForward || pattern_ == kIataStartBackward) {
            text_.Append(kFrame);
            backward_ = pattern_ == kIataStartBackward;
        } else {
            searching_ = false;
        }
        NewGroup();
    }

    void Digit() {
        const int digit = FindTwoOfFiveDigit(pattern_, backward_);
        if (digit < 0) {
            NewGroup();
            searching_ = false;
            return;
        }
        if (reference_width_ < 0) {
            reference_width_ = group_width_;
        } else if (std::abs(group_width_ - reference_width_) > kMaxWidthDifference) {
            searching_ = false;
        }
        if (!text_.Append(static_cast<char>('0' + digit))) Reset();
        NewGroup();
    }

    // Two bars followed by a wide space: the stop, or the end of a symbol of another length.
    bool Stop(Candidate& out) {
        const unsigned stop = backward_ ? kIataStopBackward : kIataStopForward;
        if (pattern_ == stop && text_.Append(kFrame) && text_.size() == kIataTextLength) {
            if (backward_) text_.ReverseAndMark();
            text_.CopyTo(out);
            out.start_column = start_column_;
            out.end_column = last_bar_end_ - 1;
            return true;
        }
        // A symbol framed by its stop cannot grow into a read of the right length.
        Reset();
        return false;
    }

    int t_;
    CandidateText text_;
    bool backward_ = false;
    bool searching_ = true;
    unsigned pattern_ = 0;
    int bars_ = 0;
    int group_width_ = 0;
    int reference_width_ = -1;
    int start_column_ = 0;
    int last_bar_end_ = 0;
};

// Quick rejection. An element with width / 3 > T is never skipped as a gap, so the reader
// takes it as a bar, and it is wider than 2T: it resets. Between such elements a read needs,
// since its last reset, 79 bars (start, 15 digits, stop), each followed by a gap it skipped
// except the last: 157 consecutive elements, the bars at most 2T. The screen checks the rest of
// the reader's rules on every such chain that ends where a stop may be taken (a narrow bar
// followed by a space of 2T or more, or the line's end). Returns the first element of the first
// run that may hold a read, or null.
constexpr int kIataBars = kIataGuardBars + kIataDigits * kTwoOfFiveElements + kIataGuardBars;
constexpr int kIataChain = 2 * kIataBars - 1;  // the bars and the gaps between them
constexpr int kIataHistory = 256;              // a power of two above the chain

// `h.width(k)` and `h.stop_space(k)` (the element is followed by a space the reader takes for a
// stop's) tell about element k of the line.
template <class History>
bool IataChainReads(const History& h, int last, int t) {
    const int first = last - (kIataChain - 1);
    const auto bar = [&](int n) { return h.width(first + 2 * n); };  // n from 0
    const auto gap = [&](int n) { return h.width(first + 2 * n + 1); };
    const auto wide = [&](int n) { return bar(n) >= t ? 1u : 0u; };

    for (int n = 0; n < kIataBars; ++n)
        if (bar(n) > kIataResetFactor * t) return false;
    const unsigned start = (wide(0) << 1) | wide(1);
    if (start != kIataStartForward && start != kIataStartBackward) return false;
    const bool backward = start == kIataStartBackward;
    int reference = 0;
    for (int digit = 0; digit < kIataDigits; ++digit) {
        const int from = kIataGuardBars + digit * kTwoOfFiveElements;
        unsigned pattern = 0;
        int width = 0;
        for (int n = from; n < from + kTwoOfFiveElements; ++n) {
            pattern = (pattern << 1) | wide(n);
            width += bar(n) + gap(n);
        }
        if (FindTwoOfFiveDigit(pattern, backward) < 0) return false;
        if (digit == 0) reference = width;
        if (std::abs(width - reference) > kMaxWidthDifference) return false;
        // With text enough for a stop ("*" and the digits before this group), a wide space
        // after the group's second bar is taken as one and ends the read.
        const int text_size = 1 + digit;
        const int second_bar = from + 1;
        if (text_size >= kIataMinStopText && h.stop_space(first + 2 * second_bar)) return false;
    }
    const unsigned stop = (wide(kIataBars - 2) << 1) | wide(kIataBars - 1);
    return stop == (backward ? kIataStopBackward : kIataStopForward);
}

int IataGapLimit(int t) {
    return kIataGapDivisor * t + (kIataGapDivisor - 1);  // width / 3 <= T
}

struct RawHistory {
    const RawElements& e;
    int t;
    int width(int k) const { return e.width(k); }
    bool stop_space(int k) const {
        return k + 1 == e.count() || e.width_after(k) >= kIataStopSpaceFactor * t;
    }
};

const int16_t* FirstIataRun(const LineView& line, int t) {
    const RawElements e(line);
    const RawHistory history{e, t};
    const int gap_limit = IataGapLimit(t);
    const auto is_reset = [&](int k) { return e.width(k) > gap_limit; };
    int start = 0;
    for (;;) {
        start = FirstRunOf(kIataChain, start, e.count(), is_reset);
        if (start == e.count()) return nullptr;
        int k = start;
        for (; k < e.count() && !is_reset(k); ++k) {
            if (k - start >= kIataChain - 1 && history.stop_space(k) &&
                IataChainReads(history, k, t)) {
                return e.start(start);
            }
        }
        if (k == e.count()) return nullptr;
        start = k + 1;
    }
}

// The merged walk keeps the last elements of a run.
struct MergedHistory {
    int widths[kIataHistory];
    bool stop_spaces[kIataHistory];
    int width(int k) const { return widths[k & (kIataHistory - 1)]; }
    bool stop_space(int k) const { return stop_spaces[k & (kIataHistory - 1)]; }
};

// Walks one run from its first element to the element that ends it (taken) or the line's end.
bool MergedIataRunReads(MergedWalk& walk, int t, MergedHistory& h) {
    const int gap_limit = IataGapLimit(t);
    int width;
    for (int k = 0; walk.Next(width); ++k) {
        if (width > gap_limit) return false;
        const bool stop_space =
            walk.AtEnd() || walk.WidthToNextChange() >= kIataStopSpaceFactor * t;
        h.widths[k & (kIataHistory - 1)] = width;
        h.stop_spaces[k & (kIataHistory - 1)] = stop_space;
        if (k >= kIataChain - 1 && stop_space && IataChainReads(h, k, t)) return true;
    }
    return false;
}

const int16_t* FirstMergedIataRun(const LineView& line, int t) {
    const int gap_limit = IataGapLimit(t);
    if (!HasRunOf(line, RawElements(line), kIataChain, gap_limit)) return nullptr;
    MergedWalk walk(line);
    MergedWalk run = walk;
    int count = 0;
    int width;
    while (walk.Next(width)) {
        if (width > gap_limit) {
            count = 0;
            run = walk;
            continue;
        }
        if (++count < kIataChain) continue;
        // Long enough: look at the whole run closely, then go on after it.
        MergedHistory history;
        walk = run;
        if (MergedIataRunReads(walk, t, history)) return run.position();
        count = 0;
        run = walk;
    }
    return nullptr;
}

}  // namespace

// Each reader starts at the first run its screen lets through, in the state the reset before
// that run leaves it in; the run may start with a space, and the readers never ask an element's
// colour.
bool DecodeInterleaved2of5(const LineView& line, int threshold, bool merge_single_pixels,
                           DecodeContext& context, Candidate& out) {
    if (threshold < kMinimumThreshold) return false;
    const int16_t* from = !context.shortcuts    ? line.changes
                          : merge_single_pixels ? FirstMergedInterleavedRun(line, threshold)
                                                : FirstInterleavedRun(line, threshold);
    if (from == nullptr) return false;
    ElementStream stream(LineView{from, line.right_edge}, merge_single_pixels);
    return InterleavedReader(threshold).Read(stream, out);
}

bool DecodeIata2of5(const LineView& line, int threshold, bool merge_single_pixels,
                    DecodeContext& context, Candidate& out) {
    if (threshold < kMinimumThreshold) return false;
    const int16_t* from = !context.shortcuts    ? line.changes
                          : merge_single_pixels ? FirstMergedIataRun(line, threshold)
                                                : FirstIataRun(line, threshold);
    if (from == nullptr) return false;
    ElementStream stream(LineView{from, line.right_edge}, merge_single_pixels);
    return IataReader(threshold).Read(stream, out);
}

}  // namespace pixdoc::barcode
