#include "imaging/barcode/ean_upc_table.h"

#include <array>

#include "imaging/barcode/module_pattern_index.h"

namespace pixdoc::barcode {
namespace {

struct DigitRow {
    int32_t from_left;
    int32_t from_right;
};

// Rows 0-9: the L widths of the digits (R digits have the same widths) and, reversed, the G
// widths. Rows 10-19: the G widths and, reversed, the L widths.
constexpr std::array<DigitRow, kEanAllRows> kDigits = {{
    {0x3211, 0x1123},  // 0
    {0x2221, 0x1222},  // 1
    {0x2122, 0x2212},  // 2
    {0x1411, 0x1141},  // 3
    {0x1132, 0x2311},  // 4
    {0x1231, 0x1321},  // 5
    {0x1114, 0x4111},  // 6
    {0x1312, 0x2131},  // 7
    {0x1213, 0x3121},  // 8
    {0x3112, 0x2113},  // 9
    {0x1123, 0x3211},  // G 0
    {0x1222, 0x2221},  // G 1
    {0x2212, 0x2122},  // G 2
    {0x1141, 0x1411},  // G 3
    {0x2311, 0x1132},  // G 4
    {0x1321, 0x1231},  // G 5
    {0x4111, 0x1114},  // G 6
    {0x2131, 0x1312},  // G 7
    {0x3121, 0x1213},  // G 8
    {0x2113, 0x3112},  // G 9
}};

// Parity of digits 2-6 for each leading digit, digit 2 first.
constexpr std::array<const char*, 10> kLeadingParity = {
    "LLLLL", "LGLGG", "LGGLG", "LGGGL", "GLLGG", "GGLLG", "GGGLL", "GLGLG", "GLGGL", "GGLGL",
};

constexpr unsigned ParityBits(const char* parity) {
    unsigned bits = 0;
    for (int i = 0; parity[i] != '\0'; ++i) {
        if (parity[i] == 'G') bits |= 1u << i;
    }
    return bits;
}

constexpr ModulePatternTable<4> BuildLookup(bool from_left) {
    ModulePatternTable<4> lookup;
    for (int row = 0; row < kEanAllRows; ++row)
        lookup.Add(from_left ? kDigits[row].from_left : kDigits[row].from_right, row);
    return lookup;
}
constexpr ModulePatternTable<4> kFromLeft = BuildLookup(true);
constexpr ModulePatternTable<4> kFromRight = BuildLookup(false);

}  // namespace

const ModulePatternTable<4>& EanDigitPatterns(int column) {
    return column == 0 ? kFromLeft : kFromRight;
}

int EanLeadingDigit(unsigned g_parity) {
    for (int digit = 0; digit < static_cast<int>(kLeadingParity.size()); ++digit) {
        if (ParityBits(kLeadingParity[digit]) == g_parity) return digit;
    }
    return -1;
}

}  // namespace pixdoc::barcode
