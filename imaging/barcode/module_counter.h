// Measuring elements in modules, shared by the decoders whose threshold is the width of one
// symbol character (Code 128: 11 modules, Code 93: 9, EAN/UPC: 7).
//
// The boundaries are B_k = k * T / modules (truncated), k = 1..5. An element of width w counts
// as the smallest m of 1..4 with w < B_(m+1); an element wider than B_5 is a quiet zone or noise;
// one exactly B_5 wide counts no modules, so no character holding it can match.
#pragma once

#include <array>
#include <cstdint>

namespace pixdoc::barcode {

inline constexpr int kMaxModulesPerElement = 4;
inline constexpr int kBoundaryCount = 5;

class ModuleCounter {
public:
    ModuleCounter(int threshold, int modules_per_character);

    int Boundary(int k) const { return boundaries_[k - 1]; }  // B_k, k = 1..5

    // True for an element wider than B_5: it ends any read in progress.
    bool IsQuietZone(int width) const { return width > Boundary(kBoundaryCount); }

    // Modules of an element not wider than B_5; 0 for one exactly B_5 wide.
    int Count(int width) const {
        const auto w = static_cast<unsigned>(width);
        return w < counted_ ? counts_[w] : CountByBoundaries(width);
    }

    // Counts the elements of one character and corrects the sum for ink spread: while it is
    // below `modules_per_character`, a space exactly one pixel narrower than B_2, B_3 or B_4
    // counts one module more; while it is above, a bar exactly as wide as one of them counts one
    // module less. `first_is_space` says whether the character's first element is a space.
    // Returns the counts as hexadecimal digits (first element in the top digit), or -1 when the
    // sum cannot be made right.
    int32_t Character(const int* widths, int count, bool first_is_space) const;

private:
    // Counts of the narrow widths, looked up rather than compared with each boundary.
    static constexpr int kCountedWidths = 64;

    int CountByBoundaries(int width) const;

    int modules_per_character_;
    std::array<int, kBoundaryCount> boundaries_{};
    std::array<uint8_t, kCountedWidths> counts_{};
    unsigned counted_ = 0;  // widths below this are in counts_
};

// What one threshold makes of each element width. Requires threshold >= modules_per_character,
// so that the boundaries B_k = k * T / modules strictly increase.
class ModuleWidths {
public:
    ModuleWidths(int threshold, int modules_per_character);

    int modules_per_character() const { return modules_; }
    int widest() const { return widest_; }                    // B_5: wider elements are quiet zones
    int Boundary(int k) const { return boundaries_[k - 1]; }  // B_k, k = 1..5

    // Builds what Entry looks up; call it before the first Entry. (Walks that judge elements in
    // blocks compare with the boundaries instead and never need it.)
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

}  // namespace pixdoc::barcode
