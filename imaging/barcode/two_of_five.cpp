#include "imaging/barcode/two_of_five.h"

#include <bit>
#include <cstdlib>

#include "imaging/barcode/candidate_text.h"
#include "imaging/barcode/element_stream.h"
#include "imaging/barcode/two_of_five_table.h"

namespace pixdoc::barcode {
namespace {

constexpr int kMinimumThreshold = 2;
constexpr char kFrame = '*';
constexpr int kMaxWidthDifference = 4;  // pixels between neighbouring digit groups

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

int WideCount(unsigned pattern) {
    return std::popcount(pattern);
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
        // Even elements are wide when wider than T, odd ones when T or wider.
        unsigned even = Pattern(widths_, 0, t_);
        unsigned odd = Pattern(widths_, 1, t_ - 1);
        const bool even_ok = WideCount(even) == kTwoOfFiveWideElements;
        const bool odd_ok = WideCount(odd) == kTwoOfFiveWideElements;
        if (even_ok && !odd_ok) odd = Reclassify(widths_, 1, t_, odd);
        if (!even_ok && odd_ok) even = Reclassify(widths_, 0, t_, even);

        const int first = FindTwoOfFiveDigit(even, backward_);
        const int second = FindTwoOfFiveDigit(odd, backward_);
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

}  // namespace

bool DecodeInterleaved2of5(const LineView& line, int threshold, bool merge_single_pixels,
                           Candidate& out) {
    if (threshold < kMinimumThreshold) return false;
    ElementStream stream(line, merge_single_pixels);
    return InterleavedReader(threshold).Read(stream, out);
}

bool DecodeIata2of5(const LineView& line, int threshold, bool merge_single_pixels, Candidate& out) {
    if (threshold < kMinimumThreshold) return false;
    ElementStream stream(line, merge_single_pixels);
    return IataReader(threshold).Read(stream, out);
}

}  // namespace pixdoc::barcode
