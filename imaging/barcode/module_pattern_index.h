// Direct look-up of module patterns. A pattern holds one element's modules per hexadecimal digit
// (first element in the top digit); table patterns only hold digits 1-4, so two bits per digit
// index every one of them and a character search becomes one table read instead of a scan.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pixdoc::barcode {

// The look-up index of an n-digit pattern, or -1 when it has more digits or a digit outside 1-4
// (no table row can match it then).
constexpr int ModulePatternIndex(int32_t widths, int digits) {
    if (widths < 0 || (widths >> (4 * digits)) != 0) return -1;
    int index = 0;
    for (int i = digits - 1; i >= 0; --i) {
        const int d = (widths >> (4 * i)) & 0xF;
        if (d < 1 || d > 4) return -1;
        index = (index << 2) | (d - 1);
    }
    return index;
}

// A look-up table for n-digit patterns: each slot holds the first row (in the order rows are
// added) whose pattern has that index, or -1.
template <int Digits>
struct ModulePatternTable {
    static constexpr int kSize = 1 << (2 * Digits);
    std::array<int16_t, kSize> row{};

    constexpr ModulePatternTable() {
        for (auto& r : row)
            r = -1;
    }

    // Keeps an earlier row where two rows share a pattern, as a first-match scan would. A row
    // the index cannot hold makes at() throw, which stops a constant-initialised table from
    // compiling.
    constexpr void Add(int32_t widths, int value) {
        const auto index = static_cast<size_t>(ModulePatternIndex(widths, Digits));
        if (row.at(index) < 0) row.at(index) = static_cast<int16_t>(value);
    }

    constexpr int Find(int32_t widths) const {
        const int index = ModulePatternIndex(widths, Digits);
        return index < 0 ? -1 : row[index];
    }
};

}  // namespace pixdoc::barcode
