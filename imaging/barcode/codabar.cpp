#include "imaging/barcode/codabar.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#include "imaging/barcode/candidate_text.h"
#include "imaging/barcode/codabar_table.h"
#include "imaging/barcode/codabar_walk.h"
#include "imaging/barcode/element_stream.h"

namespace pixdoc::barcode {
namespace {

using codabar_walk::ElementBlock;
using codabar_walk::kBlockBits;
using codabar_walk::kBlockElements;
using codabar_walk::kNoBit;
using codabar_walk::kResetFactor;
using codabar_walk::LowestBit;
using codabar_walk::WidthWalk;

constexpr int kMinimumThreshold = 2;
constexpr int kGapDivisor = 4;   // a gap with width / 4 <= T is skipped
constexpr int kMinStopText = 4;  // asterisk, start, one data character, stop
constexpr int kFrameCharacters = 2;
constexpr char kFrame = '*';

// The quick rejection below follows reads up to this many characters and lets longer ones pass,
// so that it never has to follow the text capacity's rule.
constexpr int kFollowedCharacters = 100;
constexpr int kStopCharacters = kMinStopText - 1;  // start, one data character, stop

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

// Element i at bit i turned into element i at bit 6 - i (the patterns' order: the first
// element in the top bit).
constexpr std::array<uint8_t, 1u << kCodabarElements> BuildReversedPatterns() {
    std::array<uint8_t, 1u << kCodabarElements> reversed{};
    for (unsigned bits = 0; bits < reversed.size(); ++bits)
        for (int i = 0; i < kCodabarElements; ++i)
            if ((bits >> i) & 1u)
                reversed[bits] |= static_cast<uint8_t>(1u << (kCodabarElements - 1 - i));
    return reversed;
}
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
        // Without merging, the only element needing the exact step is the end of the walk.
        if (!kMerge && exact != kNoBit) return false;
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

bool DecodeCodabar(const LineView& line, int threshold, bool merge_single_pixels,
                   DecodeContext& context, Candidate& out) {
    if (threshold < kMinimumThreshold) return false;
    // Most lines (text) never bring the walk to a stop letter: they are answered without
    // building any text.
    const bool may_read = !context.shortcuts    ? true
                          : merge_single_pixels ? ReachesStop<true>(line, threshold)
                                                : ReachesStop<false>(line, threshold);
    if (!may_read) return false;
    ElementStream stream(line, merge_single_pixels);
    return CodabarReader(threshold, context.options.codabar_min_size).Read(stream, out);
}

}  // namespace pixdoc::barcode
