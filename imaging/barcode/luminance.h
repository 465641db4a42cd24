// Luminance of a 24-bit pixel for the colour search: the weights of ITU-R BT.601 (0.299,
// 0.587, 0.114) as three byte tables, one per byte of the pixel in memory order, whose last
// entries are 76, 150 and 29, so that white comes to 255 and no sum can pass it.
#pragma once

#include <array>
#include <cstdint>

namespace pixdoc::barcode {

inline constexpr int kLuminanceWeights[3] = {76, 150, 29};

// Entry i is i * weight / 255 rounded: 0 at 0, the weight at 255, rising by at most 1 a step.
constexpr std::array<uint8_t, 256> LuminanceTable(int weight) {
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<uint8_t>((i * weight + 127) / 255);
    return table;
}

inline constexpr std::array<std::array<uint8_t, 256>, 3> kLuminanceTables = {
    LuminanceTable(kLuminanceWeights[0]), LuminanceTable(kLuminanceWeights[1]),
    LuminanceTable(kLuminanceWeights[2])};

// The pixel's three bytes in memory order; the sum taken modulo 256.
inline int Luminance(const uint8_t* pixel) {
    return (kLuminanceTables[0][pixel[0]] + kLuminanceTables[1][pixel[1]] +
            kLuminanceTables[2][pixel[2]]) &
           0xFF;
}

}  // namespace pixdoc::barcode
