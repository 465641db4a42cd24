#include "imaging/barcode/code93.h"

#include <algorithm>

#include "imaging/barcode/barcode_state.h"

#include "imaging/barcode/candidate_text.h"
#include "imaging/barcode/code93_table.h"
#include "imaging/barcode/element_stream.h"
#include "imaging/barcode/module_characters.h"
#include "imaging/barcode/module_counter.h"

namespace pixdoc::barcode {
namespace {

constexpr int kModulesPerCharacter = 9;
constexpr int kMinimumThreshold = kModulesPerCharacter;
constexpr int kCheckModulus = 47;
constexpr int kCWeightCycle = 20;
constexpr int kKWeightCycle = 15;
constexpr int kMinimumHeld = 3;  // start, C and K before the stop
constexpr int kMaxValues = 2 * kCandidateCapacity;
constexpr char kFrame = '*';

// C and K check characters over the data values d[0..n-1].
bool ChecksAgree(const int* d, int n, int c, int k) {
    int c_sum = 0;
    int k_sum = c;  // C itself has weight 1 in K
    for (int i = 0; i < n; ++i) {
        const int from_right = n - 1 - i;
        c_sum += d[i] * (from_right % kCWeightCycle + 1);
        k_sum += d[i] * ((from_right + 1) % kKWeightCycle + 1);
    }
    return c_sum % kCheckModulus == c && k_sum % kCheckModulus == k;
}

// Translates the data values into the text; false for a shift without a partner or a pair the
// full-ASCII table does not have.
bool Translate(const int* d, int n, Code93Type type, CandidateText& text) {
    if (!text.Append(kFrame)) return false;
    for (int i = 0; i < n; ++i) {
        char c;
        if (d[i] < kCode93ShiftFirst) {
            c = Code93Character(d[i]);
        } else {
            if (i + 1 == n || d[i + 1] >= kCode93ShiftFirst) return false;
            c = Code93Shifted(d[i + 1], Code93ShiftOf(d[i], type));
            ++i;
        }
        if (c == '\0' || !text.Append(c)) return false;
    }
    return text.Append(kFrame);
}

enum class Walk { kNoRead, kRead };

class Code93Reader {
public:
    Code93Reader(int threshold, Code93Type type)
        : counter_(threshold, kModulesPerCharacter), type_(type) {}

    Walk Read(ElementStream stream, bool backward_walk, Candidate& out) {
        ModuleCharacters characters(counter_);
        count_ = 0;
        Element e;
        while (stream.Next(e)) {
            const ModuleCharacters::Event event = characters.Feed(e);
            if (event == ModuleCharacters::Event::kReset) count_ = 0;
            if (event != ModuleCharacters::Event::kCharacter) continue;

            const int32_t widths = characters.Widths();
            const int value = widths < 0 ? -1 : FindCode93Value(widths, type_);
            if (count_ == 0 && widths == kCode93StartStopReversed) backward_seen_ = true;
            if (value < 0 || count_ == kMaxValues) {
                count_ = 0;
                continue;
            }
            if (value != kCode93StartStop) {
                if (count_ > 0) values_[count_++] = value;
                continue;
            }
            if (count_ >= kMinimumHeld && Complete(out)) {
                out.start_column = backward_walk ? characters.last().start : symbol_first_.start;
                out.end_column = backward_walk ? symbol_first_.end : characters.last().end;
                return Walk::kRead;
            }
            // A start/stop character that ends no read may start the next one.
            values_[0] = value;
            count_ = 1;
            symbol_first_ = characters.first();
        }
        return Walk::kNoRead;
    }

    bool backward_seen() const { return backward_seen_; }
    // Whether a walk held a whole symbol to check: only there do the two types differ.
    bool checked() const { return checked_; }

private:
    bool Complete(Candidate& out) {
        checked_ = true;
        const int* data = values_ + 1;
        const int n = count_ - 3;
        if (!ChecksAgree(data, n, values_[count_ - 2], values_[count_ - 1])) return false;
        CandidateText text;
        if (!Translate(data, n, type_, text)) return false;
        text.CopyTo(out);
        return true;
    }

    ModuleCounter counter_;
    Code93Type type_;
    int values_[kMaxValues] = {};
    int count_ = 0;
    Element symbol_first_;
    bool backward_seen_ = false;
    bool checked_ = false;
};

// The entries both walks read: the backward walk runs from the first entry at the right edge
// down to the leading zero ahead of the bar start.
struct WalkedRange {
    const int16_t* first;
    const int16_t* last;  // inclusive
};

WalkedRange WalkedEntries(const LineView& line) {
    const int16_t* first = line.changes - 1;
    while (*first >= 1)
        --first;
    const int16_t* last = line.changes;
    while (*last < line.right_edge)
        ++last;
    return {first, last};
}

bool SameWalk(const Code93WalkMemo& memo, const LineView& line, int threshold) {
    if (memo.threshold != threshold || memo.right_edge != line.right_edge) return false;
    const WalkedRange r = WalkedEntries(line);
    const size_t n = static_cast<size_t>(r.last - r.first) + 1;
    return memo.entries.size() == n &&
           memo.bar_start == static_cast<size_t>(line.changes - r.first) &&
           std::equal(r.first, r.last + 1, memo.entries.begin());
}

bool KnownToFail(const LineView& line, int threshold, bool merge_single_pixels, Code93Type type) {
    const Code93WalkMemo& memo = BarcodeState().code93_memo;
    return type == Code93Type::kType2 && memo.type2_fails[merge_single_pixels ? 1 : 0] &&
           SameWalk(memo, line, threshold);
}

void RememberFailure(const LineView& line, int threshold, bool merge_single_pixels, Code93Type type,
                     const Code93Reader& reader) {
    if (type != Code93Type::kCode93) return;
    Code93WalkMemo& memo = BarcodeState().code93_memo;
    if (!SameWalk(memo, line, threshold)) {
        const WalkedRange r = WalkedEntries(line);
        memo.entries.assign(r.first, r.last + 1);
        memo.bar_start = static_cast<size_t>(line.changes - r.first);
        memo.right_edge = line.right_edge;
        memo.threshold = threshold;
        memo.type2_fails[0] = false;
        memo.type2_fails[1] = false;
    }
    memo.type2_fails[merge_single_pixels ? 1 : 0] = !reader.checked();
}

bool Decode(const LineView& line, int threshold, bool merge_single_pixels, Code93Type type,
            Candidate& out) {
    if (threshold < kMinimumThreshold) return false;
    if (KnownToFail(line, threshold, merge_single_pixels, type)) return false;
    Code93Reader reader(threshold, type);
    if (reader.Read(ElementStream(line, merge_single_pixels), false, out) == Walk::kRead) {
        return true;
    }
    if (reader.backward_seen()) {
        const ElementStream backward =
            ElementStream::Backward(line, line.right_edge, 1, merge_single_pixels);
        if (reader.Read(backward, true, out) == Walk::kRead) return true;
    }
    RememberFailure(line, threshold, merge_single_pixels, type, reader);
    return false;
}

}  // namespace

bool DecodeCode93(const LineView& line, int threshold, bool merge_single_pixels, Candidate& out) {
    return Decode(line, threshold, merge_single_pixels, Code93Type::kCode93, out);
}

bool DecodeCode93Type2(const LineView& line, int threshold, bool merge_single_pixels,
                       Candidate& out) {
    return Decode(line, threshold, merge_single_pixels, Code93Type::kType2, out);
}

}  // namespace pixdoc::barcode
