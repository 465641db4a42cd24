#include "imaging/barcode/two_of_five_table.h"

#include <array>

namespace pixdoc::barcode {
namespace {

// Wide (1) and narrow (0) elements of each digit, first element first.
constexpr std::array<unsigned, 10> kDigitPatterns = {
    0b00110,  // 0
    0b10001,  // 1
    0b01001,  // 2
    0b11000,  // 3
    0b00101,  // 4
    0b10100,  // 5
    0b01100,  // 6
    0b00011,  // 7
    0b10010,  // 8
    0b01010,  // 9
};

constexpr unsigned Reversed(unsigned pattern) {
    unsigned reversed = 0;
    for (int i = 0; i < kTwoOfFiveElements; ++i) {
        reversed = (reversed << 1) | ((pattern >> i) & 1u);
    }
    return reversed;
}

}  // namespace

int FindTwoOfFiveDigit(unsigned pattern, bool backward) {
    for (int digit = 0; digit < static_cast<int>(kDigitPatterns.size()); ++digit) {
        const unsigned p = kDigitPatterns[digit];
        if ((backward ? Reversed(p) : p) == pattern) return digit;
    }
    return -1;
}

}  // namespace pixdoc::barcode
