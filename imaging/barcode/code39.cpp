#include "imaging/barcode/code39.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "imaging/barcode/code39_table.h"
#include "imaging/barcode/element_stream.h"

namespace pixdoc::barcode {
namespace {

constexpr int kElementsPerCharacter = 9;
constexpr int kMinimumThreshold = 2;
// Neighbouring characters may differ in width by this much (pixels).
constexpr int kWidthTolerance = 4;
// Gaps up to 4T + 3 pixels lie between characters; wider ones are quiet zones.
constexpr int kGapDivisor = 4;
// A partial text is never reported; the standard decoder could keep it from this length on.
constexpr int kMaxText = kCandidateCapacity - 1;
constexpr char kFrame = '*';

// The nine elements of one character as they are collected.
struct Group {
    int widths[kElementsPerCharacter];
    bool bars[kElementsPerCharacter];
    int count = 0;
    int width = 0;             // sum of the element widths
    int first_bar_start = -1;  // first column of the first bar
    int last_end = 0;          // first column after the last element

    void Clear() {
        count = 0;
        width = 0;
        first_bar_start = -1;
    }

    void Add(const Element& e) {
        if (e.bar && first_bar_start < 0) first_bar_start = e.start;
        widths[count] = e.width;
        bars[count] = e.bar;
        ++count;
        width += e.width;
        last_end = e.end;
    }

    bool Full() const { return count == kElementsPerCharacter; }

    // First pass: every element of at least T pixels is wide. Second pass: bars must exceed T.
    int Pattern(int threshold, bool strict_bars) const {
        int pattern = 0;
        for (int i = 0; i < count; ++i) {
            bool wide = strict_bars && bars[i] ? widths[i] > threshold : widths[i] >= threshold;
            pattern = (pattern << 1) | (wide ? 1 : 0);
        }
        return pattern;
    }
};

using Finder = const Code39Row* (*)(int pattern);

struct Match {
    const Code39Row* row = nullptr;
    int pattern = 0;
};

Match Classify(const Group& g, int threshold, Finder find) {
    for (bool strict_bars : {false, true}) {
        int pattern = g.Pattern(threshold, strict_bars);
        if (const Code39Row* row = find(pattern)) return {row, pattern};
    }
    return {};
}

bool WidthsAgree(int width, int previous) {
    return std::abs(width - previous) <= kWidthTolerance;
}

bool IsGap(int width, int threshold) {
    return width / kGapDivisor <= threshold;
}

void Deliver(const char* text, int length, bool backward, int start, int end, Candidate& out) {
    std::memcpy(out.text, text, length);
    out.text[length] = '\0';
    if (backward) {
        std::reverse(out.text, out.text + length);
        out.text[0] =
            static_cast<char>(static_cast<unsigned char>(out.text[0]) | kReadBackwardsMark);
    }
    out.start_column = start;
    out.end_column = end;
}

}  // namespace

bool DecodeCode39(const LineView& line, int threshold, bool merge_single_pixels, Candidate& out) {
    if (threshold < kMinimumThreshold) return false;
    ElementStream stream(line, merge_single_pixels);
    Group group;
    char text[kCandidateCapacity];
    int length = 0;  // 0: no start found yet
    bool backward = false;
    bool searching = true;
    bool gap_next = false;
    int previous_width = 0;
    int start_column = 0;

    auto forget_text = [&] {
        length = 0;
        backward = false;
    };

    Element e;
    while (stream.Next(e)) {
        if (gap_next) {
            gap_next = false;
            if (IsGap(e.width, threshold)) continue;
        }
        if (e.width > 2 * threshold) {
            group.Clear();
            forget_text();
            searching = true;
            continue;
        }
        if (!searching) continue;
        if (group.count == 0 && length == 0) start_column = e.start;
        group.Add(e);
        if (!group.Full()) continue;

        Match m = Classify(group, threshold, backward ? FindCode39Backward : FindCode39Forward);
        if (!m.row) {
            forget_text();
            previous_width = group.width;
            group.Clear();
            continue;
        }
        if (length == 0) {
            if (m.pattern == kCode39StartForward || m.pattern == kCode39StartBackward) {
                text[length++] = kFrame;
                backward = m.pattern == kCode39StartBackward;
            } else {
                searching = false;
            }
        } else if (!WidthsAgree(group.width, previous_width) || length >= kMaxText) {
            forget_text();
        } else {
            text[length++] = m.row->character;
            if (m.row->character == kFrame && length >= 3) {
                Deliver(text, length, backward, start_column, group.last_end - 1, out);
                return true;
            }
        }
        gap_next = true;
        previous_width = group.width;
        group.Clear();
    }
    return false;
}

bool DecodeCode39Nude(const LineView& line, int threshold, bool merge_single_pixels,
                      Candidate& out) {
    if (threshold < kMinimumThreshold) return false;
    ElementStream stream(line, merge_single_pixels);
    Group group;
    char text[kCandidateCapacity];
    int length = 0;
    bool gap_next = false;
    int previous_width = 0;
    int start_column = 0;
    int end_column = 0;

    auto complete = [&] {
        text[length++] = kFrame;
        Deliver(text, length, false, start_column, end_column, out);
        return true;
    };

    Element e;
    while (stream.Next(e)) {
        if (gap_next) {
            gap_next = false;
            if (!IsGap(e.width, threshold)) return complete();
            continue;
        }
        if (e.width > 2 * threshold) {
            group.Clear();
            length = 0;
            continue;
        }
        group.Add(e);
        if (!group.Full()) continue;

        Match m = Classify(group, threshold, FindCode39Forward);
        int width = group.width;
        int last_end = group.last_end;
        int first_bar = group.first_bar_start;
        bool accepted = false;
        if (!m.row) {
            length = 0;
        } else if (length == 0) {
            text[length++] = kFrame;
            text[length++] = m.row->character;
            start_column = first_bar;
            accepted = true;
        } else if (!WidthsAgree(width, previous_width) || length + 2 > kMaxText) {
            length = 0;
        } else {
            text[length++] = m.row->character;
            accepted = true;
        }
        previous_width = width;
        group.Clear();
        if (accepted) {
            end_column = last_end - 1;
            gap_next = true;
        }
    }
    // The white stretch that runs to the right edge is a quiet zone like any other.
    if (gap_next && !IsGap(stream.WidthToEdge(), threshold)) return complete();
    return false;
}

}  // namespace pixdoc::barcode
