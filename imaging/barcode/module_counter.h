// Measuring elements in modules, shared by the decoders whose threshold is the width of one
// symbol character (Code 128: 11 modules, Code 93: 9, EAN/UPC: 7).
//
// The boundaries are B_k = k * T / modules (truncated), k = 1..5. An element of width w counts
// as the smallest m of 1..4 with w < B_(m+1); an element wider than B_5 is a quiet zone or noise;
// one exactly B_5 wide counts no modules, so no character holding it can match. A character whose
// counts do not add up to `modules` is corrected for ink spread, which thins spaces and thickens
// bars: while the sum is below, a space one pixel narrower than B_2, B_3 or B_4 counts one module
// more; while it is above, a bar exactly as wide as one of them counts one module less.
#pragma once

#include <array>
#include <cstdint>

namespace pixdoc::barcode {

inline constexpr int kMaxModulesPerElement = 4;
inline constexpr int kBoundaryCount = 5;

// What one threshold makes of each element width. Requires threshold >= modules_per_character,
// so that the boundaries B_k = k * T / modules strictly increase.
class ModuleWidths {
public:
    ModuleWidths(int threshold, int modules_per_character);

    int modules_per_character() const { return modules_; }
    int widest() const { return widest_; }                    // B_5: wider elements are quiet zones
    int Boundary(int k) const { return boundaries_[k - 1]; }  // B_k, k = 1..5

    // Modules of an element not wider than B_5: 1-4, or 0 for one exactly B_5 wide. Needs
    // PrepareEntries.
    int Count(int width) const {
        return width >= widest_ ? 0 : static_cast<int>(Entry(width) & kCountBits) + 1;
    }

    // The character of `kElements` elements with these widths (none wider than B_5) as its
    // look-up index, corrected for ink spread (see CorrectedIndex, below, for the form and which
    // elements are spaces); -1 when an element is exactly B_5 wide or the sum cannot be made
    // right. Needs PrepareEntries.
    template <int kElements, bool kFirstIsSpace>
    int CharacterIndex(const int* widths) const;

    // Builds what Entry, Count and CharacterIndex look up; call it before the first of them. (Walks
    // that judge elements in blocks compare with the boundaries instead and never need it.)
    void PrepareEntries() const {
        if (!entries_ready_) BuildEntries();
    }

    // For a width below B_5: bits 0-1 the module count minus 1; bit 2 set when a space of this
    // width counts one module more in the ink-spread correction (one pixel below B_2, B_3 or
    // B_4); bit 3 set when a bar of this width counts one module less (exactly B_2, B_3 or B_4).
    unsigned Entry(int width) const {
        return width < kTableWidths ? table_[width] : EntryByBoundaries(width);
    }

    static constexpr unsigned kCountBits = 3;
    static constexpr unsigned kSpaceWidens = 4;
    static constexpr unsigned kBarNarrows = 8;

private:
    static constexpr int kTableWidths = 128;

    void BuildEntries() const;
    unsigned EntryByBoundaries(int width) const;

    int modules_;
    std::array<int, kBoundaryCount> boundaries_{};
    int widest_;
    mutable bool entries_ready_ = false;
    mutable std::array<uint8_t, kTableWidths> table_;  // set up to B_5 by BuildEntries
};

// The look-up index of a character of `kElements` elements, none of them B_5 or wider, corrected
// for ink spread. `index` holds the elements' counts minus 1 (Entry bits 0-1, two bits each,
// first element on top), `marks` their correction bits (Entry bits 2-3, two bits each, first
// element on top) and `sum` the counts minus 1 added up. The spaces are the first, third, ...
// elements when `kFirstIsSpace`, else the second, fourth, .... While the sum is below `modules`,
// the marked spaces count one module more, first to last, until it is right; while it is above,
// the marked bars count one less. Returns the index in the same form, or -1 when the sum cannot
// be made right.
template <int kElements, bool kFirstIsSpace>
inline int CorrectedIndex(unsigned index, unsigned marks, int sum, int modules) {
    sum += kElements;
    if (sum == modules) return static_cast<int>(index);
    constexpr int kFirstSpace = kFirstIsSpace ? 0 : 1;
    constexpr int kFirstBar = 1 - kFirstSpace;
    // Each space or bar can move the sum by one module at most.
    constexpr int kSpaces = (kElements - kFirstSpace + 1) / 2;
    constexpr int kBars = (kElements - kFirstBar + 1) / 2;
    const auto shift = [](int element) {
        return 2u * static_cast<unsigned>(kElements - 1 - element);
    };
    if (sum < modules) {
        int missing = modules - sum;
        if (missing > kSpaces) return -1;
        for (int i = kFirstSpace; i < kElements && missing > 0; i += 2) {
            if ((marks >> shift(i)) & 1u) {  // ModuleWidths::kSpaceWidens
                index += 1u << shift(i);
                --missing;
            }
        }
        return missing == 0 ? static_cast<int>(index) : -1;
    }
    int extra = sum - modules;
    if (extra > kBars) return -1;
    for (int i = kFirstBar; i < kElements && extra > 0; i += 2) {
        if ((marks >> (shift(i) + 1)) & 1u) {  // ModuleWidths::kBarNarrows
            index -= 1u << shift(i);
            --extra;
        }
    }
    return extra == 0 ? static_cast<int>(index) : -1;
}

template <int kElements, bool kFirstIsSpace>
inline int ModuleWidths::CharacterIndex(const int* widths) const {
    unsigned index = 0;
    unsigned marks = 0;
    int sum = 0;
    for (int i = 0; i < kElements; ++i) {
        if (widths[i] >= widest_) return -1;  // exactly B_5: no module count
        const unsigned entry = Entry(widths[i]);
        index = (index << 2) | (entry & kCountBits);
        marks = (marks << 2) | (entry >> 2);
        sum += static_cast<int>(entry & kCountBits);
    }
    return CorrectedIndex<kElements, kFirstIsSpace>(index, marks, sum, modules_);
}

}  // namespace pixdoc::barcode
