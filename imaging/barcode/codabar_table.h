// The Codabar character table: 16 data characters, the start/stop letters A-D, and A-D once
// more for the start/stop letters met from the symbol's right end.
#pragma once

#include <array>
#include <cstdint>

namespace pixdoc::barcode {

inline constexpr int kCodabarElements = 7;
inline constexpr int kCodabarFirstStartStopRow = 16;  // A-D read from the left
inline constexpr int kCodabarFirstReversedRow = 20;   // A-D met from the right end
inline constexpr int kCodabarRows = 24;

struct CodabarRow {
    char character;
    uint8_t forward;   // seven elements, first in the top bit, 1 = wide
    uint8_t backward;  // the same elements in reverse order
};

inline constexpr unsigned kCodabarPatterns = 1u << kCodabarElements;

// Each pattern's first row in the forward and in the backward column; -1 for none.
extern const std::array<int8_t, kCodabarPatterns> kCodabarForwardRows;
extern const std::array<int8_t, kCodabarPatterns> kCodabarBackwardRows;

// The row whose pattern in the given direction's column is `pattern`, or -1. Inline: the
// decoder looks up every group of seven elements.
inline int FindCodabarRow(unsigned pattern, bool backward) {
    if (pattern >= kCodabarPatterns) return -1;
    return (backward ? kCodabarBackwardRows : kCodabarForwardRows)[pattern];
}

const CodabarRow& CodabarTableRow(int row);

}  // namespace pixdoc::barcode
