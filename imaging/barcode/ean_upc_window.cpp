#include "imaging/barcode/ean_upc_window.h"

#include <cstdint>

#include "imaging/barcode/element_width.h"

namespace pixdoc::barcode {
namespace {

constexpr int kModulesPerDigit = 7;
constexpr int kEndGuardElements = 3;
// A change list ends with at least this many copies of the right edge: the entries after one left
// of the edge can be read that far.
constexpr int kSentinels = 4;

// A read runs without a reset from its start guard through its end guard: no element of it is
// wider than B_5, it holds at least the read's elements and, without merging, its first three are
// narrower than B_2 (before the start guard such an element resets). The search looks at the
// change list's own elements (pairs of neighbouring entries) and jumps ahead by whole reads past
// wide ones.
template <bool kMerging>
class ReadWindow {
public:
    ReadWindow(const LineView& line, int threshold)
        : at_(line.changes),
          last_(LastElement(line)),
          narrow_(2 * threshold / kModulesPerDigit),
          widest_(5 * threshold / kModulesPerDigit),
          walk_goes_on_(kMerging && at_[last_ + 2] < line.right_edge) {}

    // Whether the elements hold a stretch where a read of `elements` elements could lie.
    bool CanHold(int elements) const {
        if (walk_goes_on_) return true;
        int from = 0;
        while (from + elements - 1 <= last_) {
            // A wide element inside the stretch [from, from + elements) moves it past itself.
            int wide = from + elements - 1;
            while (wide >= from && !EndsRead(wide))
                --wide;
            if (wide >= from) {
                from = wide + 1;
                continue;
            }
            if (kMerging) return true;
            wide = FirstStartOrWide(from, elements);
            if (wide < 0) return true;
            from = wide + 1;
        }
        return false;
    }

private:
    int Difference(int element) const { return at_[element + 1] - at_[element]; }

    // Whether the element is wider than B_5: one comparison covers both signs of the difference.
    bool Wide(int element) const {
        return static_cast<unsigned>(Difference(element) + widest_) > 2u * widest_;
    }

    int Width(int element) const { return ElementWidth(at_[element], at_[element + 1]); }
    bool OnePixel(int element) const { return Width(element) == 1; }

    // The last element the walk can touch: the first ending at or past the right edge (a merged
    // element may take in the one-pixel element before it and the element after). The list ends
    // with four copies of the right edge, so the four entries after one left of it can be read:
    // the search strides by four. On a list that is not ascending it may stop later than the
    // walk, which only widens the stretch searched.
    static int LastElement(const LineView& line) {
        const int16_t* c = line.changes;
        const int edge = line.right_edge;
        if (c[1] >= edge) return 0;
        int entry = 1;  // left of the edge
        // Two strides a turn: the second entry is read only once the first lies left of the edge.
        while (c[entry + kSentinels] < edge && c[entry + 2 * kSentinels] < edge)
            entry += 2 * kSentinels;
        if (c[entry + kSentinels] < edge) entry += kSentinels;
        while (c[entry + 1] < edge)
            ++entry;
        return entry;
    }

    // Whether the element is wider than B_5 and resets every walk that reaches it. With merging
    // on it does so only when it stands alone: a one-pixel neighbour could join it into a wider
    // element, whose width need not be the sum of its parts on a list that is not ascending.
    bool EndsRead(int element) const {
        if (!Wide(element)) return false;
        if (!kMerging) return true;
        return (element == 0 || !OnePixel(element - 1)) &&
               (element == last_ || !OnePixel(element + 1));
    }

    // From `from` (a stretch of `elements` without wide elements starts there), the first three
    // narrow elements in a row (a start guard) and then the stretch of a read from them. Returns
    // -1 when that stretch is free of wide elements, else the wide element that ends it (or the
    // last element when no start guard is left).
    int FirstStartOrWide(int from, int elements) const {
        int narrow_run = 0;
        int element = from;
        for (; element <= last_; ++element) {
            if (EndsRead(element)) return element;
            narrow_run = Width(element) < narrow_ ? narrow_run + 1 : 0;
            if (narrow_run == kEndGuardElements) break;
        }
        if (element > last_) return last_;
        const int start = element - (kEndGuardElements - 1);
        if (start + elements - 1 > last_) return last_;
        for (++element; element < start + elements; ++element) {
            if (EndsRead(element)) return element;
        }
        return -1;
    }

    const int16_t* at_;
    int last_;
    int narrow_;  // B_2
    int widest_;  // B_5
    // On a list that is not ascending, a merge may step over the first change at the edge and
    // the merging walk go on past the last element: such a line is not judged here.
    bool walk_goes_on_;
};

}  // namespace

bool EanReadMayFit(const LineView& line, int threshold, bool merge_single_pixels, int elements) {
    return merge_single_pixels ? ReadWindow<true>(line, threshold).CanHold(elements)
                               : ReadWindow<false>(line, threshold).CanHold(elements);
}

}  // namespace pixdoc::barcode
