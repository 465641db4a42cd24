#include "imaging/barcode/codabar_table.h"

#include <array>

namespace pixdoc::barcode {
namespace {

constexpr uint8_t Reversed(uint8_t pattern) {
    uint8_t reversed = 0;
    for (int i = 0; i < kCodabarElements; ++i) {
        reversed = static_cast<uint8_t>((reversed << 1) | ((pattern >> i) & 1u));
    }
    return reversed;
}

constexpr CodabarRow Row(char character, uint8_t pattern) {
    return {character, pattern, Reversed(pattern)};
}

// The reversed start/stop rows: met from the right end, the forward column holds the backward
// pattern.
constexpr CodabarRow ReversedRow(char character, uint8_t pattern) {
    return {character, Reversed(pattern), pattern};
}

// Bar, space, bar, space, bar, space, bar; 1 = wide.
constexpr std::array<CodabarRow, kCodabarRows> kTable = {
    Row('0', 0b0000011),         Row('1', 0b0000110),         Row('2', 0b0001001),
    Row('3', 0b1100000),         Row('4', 0b0010010),         Row('5', 0b1000010),
    Row('6', 0b0100001),         Row('7', 0b0100100),         Row('8', 0b0110000),
    Row('9', 0b1001000),         Row('-', 0b0001100),         Row('$', 0b0011000),
    Row(':', 0b1000101),         Row('/', 0b1010001),         Row('.', 0b1010100),
    Row('+', 0b0010101),         Row('A', 0b0011010),         Row('B', 0b0101001),
    Row('C', 0b0001011),         Row('D', 0b0001110),         ReversedRow('A', 0b0011010),
    ReversedRow('B', 0b0101001), ReversedRow('C', 0b0001011), ReversedRow('D', 0b0001110),
};

// Each pattern's first row, as a scan in row order finds it; -1 for none.
constexpr std::array<int8_t, kCodabarPatterns> BuildLookup(bool backward) {
    std::array<int8_t, kCodabarPatterns> lookup{};
    for (auto& row : lookup)
        row = -1;
    for (int row = kCodabarRows - 1; row >= 0; --row)
        lookup[backward ? kTable[row].backward : kTable[row].forward] = static_cast<int8_t>(row);
    return lookup;
}

}  // namespace

constexpr std::array<int8_t, kCodabarPatterns> kCodabarForwardRows = BuildLookup(false);
constexpr std::array<int8_t, kCodabarPatterns> kCodabarBackwardRows = BuildLookup(true);

const CodabarRow& CodabarTableRow(int row) {
    return kTable[row];
}

}  // namespace pixdoc::barcode
