#include "imaging/barcode/code39.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "imaging/barcode/code39_quick_reject.h"
#include "imaging/barcode/code39_rules.h"
#include "imaging/barcode/code39_table.h"
#include "imaging/barcode/element_stream.h"

namespace pixdoc::barcode {
namespace {

using code39::IsGap;
using code39::kElementsPerCharacter;
using code39::kMinimumThreshold;

// Neighbouring characters may differ in width by this much (pixels).
constexpr int kWidthTolerance = 4;
// A partial text is never reported; the standard decoder could keep it from this length on.
constexpr int kMaxText = kCandidateCapacity - 1;
constexpr char kFrame = '*';

// The nine elements of one character as they are collected, with both passes' patterns built
// element by element: first pass, every element of at least T pixels is wide; second pass, bars
// must exceed T.
struct Group {
    int first_pass = 0;
    int second_pass = 0;
    int count = 0;
    int width = 0;             // sum of the element widths
    int first_bar_start = -1;  // first column of the first bar
    int last_end = 0;          // first column after the last element

    void Clear() {
        first_pass = 0;
        second_pass = 0;
        count = 0;
        width = 0;
        first_bar_start = -1;
    }

    void Add(const Element& e, int threshold) {
        if (e.bar && first_bar_start < 0) first_bar_start = e.start;
        first_pass = (first_pass << 1) | (e.width >= threshold ? 1 : 0);
        second_pass = (second_pass << 1) | (e.width >= threshold + (e.bar ? 1 : 0) ? 1 : 0);
        ++count;
        width += e.width;
        last_end = e.end;
    }

    bool Full() const { return count == kElementsPerCharacter; }
};

using Finder = const Code39Row* (*)(int pattern);

struct Match {
    const Code39Row* row = nullptr;
    int pattern = 0;
};

Match Classify(const Group& g, Finder find) {
    if (const Code39Row* row = find(g.first_pass)) return {row, g.first_pass};
    if (const Code39Row* row = find(g.second_pass)) return {row, g.second_pass};
    return {};
}

bool WidthsAgree(int width, int previous) {
    return std::abs(width - previous) <= kWidthTolerance;
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

bool DecodeCode39(const LineView& line, int threshold, bool merge_single_pixels,
                  DecodeContext& context, Candidate& out) {
    if (threshold < kMinimumThreshold) return false;
    if (context.shortcuts && !MayHoldCode39Read(line, threshold, merge_single_pixels)) return false;
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
        group.Add(e, threshold);
        if (!group.Full()) continue;

        Match m = Classify(group, backward ? FindCode39Backward : FindCode39Forward);
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
                      DecodeContext& context, Candidate& out) {
    if (threshold < kMinimumThreshold) return false;
    int resume = 0;
    if (context.shortcuts && !MayHoldCode39NudeRead(line, threshold, merge_single_pixels, resume))
        return false;
    ElementStream stream(LineView{line.changes + resume, line.right_edge}, merge_single_pixels);
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
        group.Add(e, threshold);
        if (!group.Full()) continue;

        Match m = Classify(group, FindCode39Forward);
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
