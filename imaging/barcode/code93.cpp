#include "imaging/barcode/code93.h"

#include <algorithm>
#include <cstdint>

#include "imaging/barcode/candidate_text.h"
#include "imaging/barcode/code93_table.h"
#include "imaging/barcode/element_stream.h"
#include "imaging/barcode/module_characters.h"
#include "imaging/barcode/module_pattern_index.h"

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

// The start/stop character met from its right end, as a pattern index.
constexpr int kStartStopReversedIndex = ModulePatternIndex(kCode93StartStopReversed, 6);

class Code93Reader {
public:
    Code93Reader(int threshold, Code93Type type)
        : widths_(threshold, kModulesPerCharacter), patterns_(Code93Patterns(type)), type_(type) {}

    Walk ReadForward(const LineView& line, bool merge_single_pixels, Candidate& out) {
        Begin(false, out);
        WalkModuleCharactersForward(line, merge_single_pixels, widths_, *this);
        return walk_;
    }

    // A symbol printed upside down, from the right edge down to the line's start.
    Walk ReadBackward(const LineView& line, bool merge_single_pixels, Candidate& out) {
        Begin(true, out);
        WalkModuleCharactersBackward(line, line.right_edge, 1, merge_single_pixels, widths_, *this);
        return walk_;
    }

    bool backward_seen() const { return backward_seen_; }
    // Whether a walk held a whole symbol to check: only there do the two types differ.
    bool checked() const { return checked_; }

    // The walk's calls.
    void Reset() { count_ = 0; }

    bool Character(const ModuleCharacter& c) {
        const int value = c.index < 0 ? -1 : patterns_.row[c.index];
        if (count_ == 0 && c.index == kStartStopReversedIndex) backward_seen_ = true;
        if (value < 0 || count_ == kMaxValues) {
            count_ = 0;
            return true;
        }
        if (value != kCode93StartStop) {
            if (count_ > 0) values_[count_++] = value;
            return true;
        }
        if (count_ >= kMinimumHeld && Complete(*out_)) {
            out_->start_column = backward_walk_ ? c.to : symbol_from_;
            out_->end_column = backward_walk_ ? symbol_from_ : c.to;
            walk_ = Walk::kRead;
            return false;
        }
        // A start/stop character that ends no read may start the next one.
        values_[0] = value;
        count_ = 1;
        symbol_from_ = c.from;
        return true;
    }

private:
    void Begin(bool backward_walk, Candidate& out) {
        backward_walk_ = backward_walk;
        out_ = &out;
        walk_ = Walk::kNoRead;
        count_ = 0;
    }

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

    ModuleWidths widths_;
    const ModulePatternTable<6>& patterns_;
    Code93Type type_;
    bool backward_walk_ = false;
    Candidate* out_ = nullptr;
    Walk walk_ = Walk::kNoRead;
    int values_[kMaxValues];  // the first count_ are set
    int count_ = 0;
    int symbol_from_ = 0;
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
    return {first, FirstChangeAtEdge(line.changes, line.right_edge)};
}

bool SameEntries(const Code93WalkMemo& memo, const LineView& line, const WalkedRange& r) {
    const size_t n = static_cast<size_t>(r.last - r.first) + 1;
    return memo.entries.size() == n &&
           memo.bar_start == static_cast<size_t>(line.changes - r.first) &&
           std::equal(r.first, r.last + 1, memo.entries.begin());
}

bool SameWalk(const Code93WalkMemo& memo, const LineView& line, int threshold) {
    if (memo.threshold != threshold || memo.right_edge != line.right_edge) return false;
    return SameEntries(memo, line, WalkedEntries(line));
}

bool KnownToFail(const Code93WalkMemo& memo, const LineView& line, int threshold,
                 bool merge_single_pixels, Code93Type type) {
    return type == Code93Type::kType2 && memo.type2_fails[merge_single_pixels ? 1 : 0] &&
           SameWalk(memo, line, threshold);
}

void RememberFailure(Code93WalkMemo& memo, const LineView& line, int threshold,
                     bool merge_single_pixels, Code93Type type, const Code93Reader& reader) {
    if (type != Code93Type::kCode93) return;
    const WalkedRange r = WalkedEntries(line);
    if (memo.threshold != threshold || memo.right_edge != line.right_edge ||
        !SameEntries(memo, line, r)) {
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
            DecodeContext& context, Candidate& out) {
    if (threshold < kMinimumThreshold) return false;
    Code93WalkMemo& memo = context.code93_memo;
    if (context.shortcuts && KnownToFail(memo, line, threshold, merge_single_pixels, type))
        return false;
    Code93Reader reader(threshold, type);
    if (reader.ReadForward(line, merge_single_pixels, out) == Walk::kRead) return true;
    if (reader.backward_seen() &&
        reader.ReadBackward(line, merge_single_pixels, out) == Walk::kRead) {
        return true;
    }
    if (context.shortcuts)
        RememberFailure(memo, line, threshold, merge_single_pixels, type, reader);
    return false;
}

}  // namespace

bool DecodeCode93(const LineView& line, int threshold, bool merge_single_pixels,
                  DecodeContext& context, Candidate& out) {
    return Decode(line, threshold, merge_single_pixels, Code93Type::kCode93, context, out);
}

bool DecodeCode93Type2(const LineView& line, int threshold, bool merge_single_pixels,
                       DecodeContext& context, Candidate& out) {
    return Decode(line, threshold, merge_single_pixels, Code93Type::kType2, context, out);
}

}  // namespace pixdoc::barcode
