#include "imaging/barcode/codabar.h"

#include <limits>

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

// The decoder's forward walk reduced to widths: the same changes and the same widths as
// ElementStream::Next, merging included, plus runs of elements that take one change each.
template <bool kMerge>
class WidthWalk {
public:
    explicit WidthWalk(const LineView& line) : at_(line.changes), edge_(line.right_edge) {}

    // The next element's width; false when the walk has ended.
    bool Next(int& width) {
        if (at_[1] >= edge_) return false;
        const int advance = MergesFollowing(at_) ? 3 : 1;
        width = Distance(at_[0], at_[advance]);
        at_ += advance;
        return true;
    }

    // How many of the next elements, at most `most`, the walk delivers unmerged, each no wider
    // than `limit`.
    int PlainRun(int limit, int most) const {
        int n = 0;
        while (n < most && at_[n + 1] < edge_ && Distance(at_[n], at_[n + 1]) <= limit &&
               !MergesFollowing(at_ + n))
            ++n;
        return n;
    }

    const int16_t* Position() const { return at_; }
    void Skip(int elements) { at_ += elements; }
    void Rewind(const int16_t* at) { at_ = at; }

private:
    // ElementStream's merging rule at `at`: the element after it is one pixel wide.
    bool MergesFollowing(const int16_t* at) const {
        return kMerge && at[2] < edge_ && Distance(at[1], at[2]) == 1;
    }

    const int16_t* at_;
    int edge_;
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

int ClassifyPatterns(const GroupPatterns& group, bool backward) {
    const int row = FindCodabarRow(group.first, backward);
    return row >= 0 ? row : FindCodabarRow(group.second, backward);
}

enum class GroupEnd { kComplete, kReset, kWalkEnded };

// Collects the next group of seven elements as the decoder does, or stops at the element that
// resets it (wider than 2T) or at the end of the walk.
template <bool kMerge>
GroupEnd CollectGroup(WidthWalk<kMerge>& walk, int t, GroupPatterns& group) {
    const int reset_above = kResetFactor * t;
    const int16_t* start = walk.Position();
    const int plain = walk.PlainRun(reset_above, kCodabarElements);
    if (plain == kCodabarElements) {
        for (int i = 0; i < kCodabarElements; ++i)
            group.Add(Distance(start[i], start[i + 1]), i, t);
        walk.Skip(plain);
        return GroupEnd::kComplete;
    }
    walk.Skip(plain);
    int width = 0;
    if (!walk.Next(width)) return GroupEnd::kWalkEnded;
    if (width > reset_above) return GroupEnd::kReset;
    // A merged element no wider than 2T inside the group: take the group element by element.
    walk.Rewind(start);
    for (int i = 0; i < kCodabarElements; ++i) {
        if (!walk.Next(width)) return GroupEnd::kWalkEnded;
        if (width > reset_above) return GroupEnd::kReset;
        group.Add(width, i, t);
    }
    return GroupEnd::kComplete;
}

// Takes elements up to and including the next one wider than `limit`; false if the walk ends.
template <bool kMerge>
bool PassWideElement(WidthWalk<kMerge>& walk, int limit) {
    for (;;) {
        walk.Skip(walk.PlainRun(limit, std::numeric_limits<int>::max()));
        int width = 0;
        if (!walk.Next(width)) return false;
        if (width > limit) return true;
    }
}

// Quick rejection: whether the decoder's walk comes to a stop letter after a start letter and
// at least one data character. It applies the decoder's own rules to the same elements without
// building text: `characters` is the length of the decoder's text after its asterisk (0 while
// there is none) and `backward` its direction, so a line answered false cannot give a read.
template <bool kMerge>
bool ReachesStop(const LineView& line, int t) {
    WidthWalk<kMerge> walk(line);
    int characters = 0;
    bool backward = false;
    for (;;) {
        GroupPatterns group;
        const GroupEnd end = CollectGroup(walk, t, group);
        if (end == GroupEnd::kWalkEnded) return false;
        if (end == GroupEnd::kReset) {
            characters = 0;
            backward = false;
            continue;
        }
        const int row = ClassifyPatterns(group, backward);
        if (characters == 0) {
            if (row < kCodabarFirstStartStopRow) {
                // No start: elements are ignored up to the next one wider than 2T.
                if (!PassWideElement(walk, kResetFactor * t)) return false;
                continue;
            }
            backward = row >= kCodabarFirstReversedRow;
            characters = 1;
        } else if (row < 0 || row >= kCodabarFirstReversedRow) {
            characters = 0;  // the very next element begins a new group
            backward = false;
            continue;
        } else if (++characters >= kFollowedCharacters ||
                   (row >= kCodabarFirstStartStopRow && characters >= kStopCharacters)) {
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
            widths_[count_++] = e.width;
            last_end_ = e.end;
            if (count_ < kCodabarElements) continue;
            count_ = 0;

            const int row = Classify();
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
    // First pass: every element of T or more is wide; second pass: bars must exceed T.
    int Classify() const {
        for (int pass = 0; pass < 2; ++pass) {
            unsigned pattern = 0;
            for (int i = 0; i < kCodabarElements; ++i) {
                const bool bar = i % 2 == 0;
                const bool wide = pass == 1 && bar ? widths_[i] > t_ : widths_[i] >= t_;
                pattern = (pattern << 1) | (wide ? 1u : 0u);
            }
            const int row = FindCodabarRow(pattern, backward_);
            if (row >= 0) return row;
        }
        return -1;
    }

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
    int widths_[kCodabarElements] = {};
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
