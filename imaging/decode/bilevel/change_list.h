// Change lists: one scan line as ascending 16-bit positions of colour changes (first black
// column, first white column after it, ...), ended by copies of the line width.
#pragma once

#include <cstdint>

namespace pixdoc::bilevel {

// Entries a change list buffer holds beyond the line width: room for the change at the width
// itself and the sentinels. A line has at most width + 1 changes (strictly ascending in
// 0..width), so width + kChangeListSlack entries always suffice.
inline constexpr int kChangeListSlack = 16;
inline constexpr int kSentinels = 4;
inline constexpr int kRowSentinels = 5;  // the bitmap-row converter writes five
inline constexpr int kMaxLineWidth = 30000;

// Entries to allocate for a line of `width` pixels.
constexpr int ChangeListEntries(int width) {
    return width + kChangeListSlack;
}

// Builds a list while keeping it strictly ascending: a change at the position of the last one
// cancels it (a zero-length run merges its neighbours). The caller checks 0 <= p <= width and
// p >= last before calling, so at most width + 1 entries are ever held.
class ChangeWriter {
public:
    explicit ChangeWriter(int16_t* list) : list_(list) {}
    void Add(int position) {
        if (count_ > 0 && list_[count_ - 1] == position) {
            --count_;
            return;
        }
        list_[count_++] = int16_t(position);
    }
    int Last() const { return count_ > 0 ? list_[count_ - 1] : 0; }
    int Count() const { return count_; }
    // Colour after the last change: 0 white, 1 black.
    int Colour() const { return count_ & 1; }
    void Finish(int width, int copies = kSentinels) {
        for (int i = 0; i < copies; ++i)
            list_[count_ + i] = int16_t(width);
    }

private:
    int16_t* list_;
    int count_ = 0;
};

// The reference-line index of b1 for two-dimensional coding: the first change right of a0
// whose colour is the opposite of a0's colour (even entries start black runs, so a white a0
// looks at even entries). `j` is the index found for the previous a0 (0 at the line start);
// a0 never moves left, so the search resumes there. The coder and the decoder both call it and
// the two steps below, so they agree on b1 by construction.
// Bound: the reference list ends with at least four copies of the width and the scan stops at
// the first entry that reaches the width, so j + 1 stays inside the sentinels.
inline int FindB1(const int16_t* reference, int j, int a0, int colour, int width) {
    if (j > 0) --j;  // a vertical mode left of b1 can bring the previous entry back into play
    if ((j & 1) != colour) ++j;
    while (reference[j] <= a0 && reference[j] < width)
        j += 2;
    return j;
}

// FindB1 after the two modes that make up most of a page, for an a0 left of the width. The
// structure of the list tells where b1 went, so that most modes need no scan.
//
// A vertical mode taken against b1 at `j` put a0 on a1 and turned the colour, so b1 is an
// entry of the other parity: the one before the old b1 when it is right of a1 (a1 came left
// of b1 there), else the old b2, or further right when a1 reached it (a coder would have
// passed there, but a decoder meets such data). Which of them does not depend on the offset,
// so that the modes, which follow no pattern, cost no guessed branch here.
inline int B1AfterVertical(const int16_t* reference, int j, int a1) {
    int k = j > 0 && reference[j - 1] > a1 ? j - 1 : j + 1;
    while (reference[k] <= a1)  // a1 is left of the sentinels
        k += 2;
    return k;
}

// A pass mode took a0 to b2 at `j` + 1: b1 is the entry after it.
inline int B1AfterPass(int j) {
    return j + 2;
}

// An empty (all white) line: nothing but sentinels.
inline void ResetToEmptyLine(int16_t* list, int width) {
    for (int i = 0; i < kChangeListSlack; ++i)
        list[i] = int16_t(width);
}

}  // namespace pixdoc::bilevel
