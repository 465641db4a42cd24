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

// An empty (all white) line: nothing but sentinels.
inline void ResetToEmptyLine(int16_t* list, int width) {
    for (int i = 0; i < kChangeListSlack; ++i)
        list[i] = int16_t(width);
}

}  // namespace pixdoc::bilevel
