#include "imaging/barcode/two_of_five_table.h"

#include <array>
#include <cstdint>

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

constexpr unsigned kPatternCount = 1u << kTwoOfFiveElements;

// The digit of every 5-bit pattern read from the left or from the right, -1 for none.
struct DigitLookup {
    std::array<int8_t, kPatternCount> forward{};
    std::array<int8_t, kPatternCount> backward{};
};

constexpr DigitLookup MakeDigitLookup() {
    DigitLookup lookup;
    lookup.forward.fill(-1);
    lookup.backward.fill(-1);
    for (int digit = 0; digit < static_cast<int>(kDigitPatterns.size()); ++digit) {
        lookup.forward[kDigitPatterns[digit]] = static_cast<int8_t>(digit);
        lookup.backward[Reversed(kDigitPatterns[digit])] = static_cast<int8_t>(digit);
    }
    return lookup;
}

constexpr DigitLookup kDigitLookup = MakeDigitLookup();

}  // namespace

int FindTwoOfFiveDigit(unsigned pattern, bool backward) {
    if (pattern >= kPatternCount) return -1;
    return backward ? kDigitLookup.backward[pattern] : kDigitLookup.forward[pattern];
}

}  // namespace pixdoc::barcode
