#include "imaging/barcode/code93_table.h"

#include <array>

#include "imaging/barcode/module_pattern_index.h"

namespace pixdoc::barcode {
namespace {

constexpr int kDataRows = 43;

struct DataRow {
    int32_t widths;
    char plain;
    char after[4];  // after ($), (%), (/), (+); 0: no such combination
};

// (%)U stands for NUL, which a text cannot carry: it has no character here.
constexpr std::array<DataRow, kDataRows> kData = {{
    {0x131112, '0', {0, 0, 0, 0}},                // 0
    {0x111213, '1', {0, 0, 0, 0}},                // 1
    {0x111312, '2', {0, 0, 0, 0}},                // 2
    {0x111411, '3', {0, 0, 0, 0}},                // 3
    {0x121113, '4', {0, 0, 0, 0}},                // 4
    {0x121212, '5', {0, 0, 0, 0}},                // 5
    {0x121311, '6', {0, 0, 0, 0}},                // 6
    {0x111114, '7', {0, 0, 0, 0}},                // 7
    {0x131211, '8', {0, 0, 0, 0}},                // 8
    {0x141111, '9', {0, 0, 0, 0}},                // 9
    {0x211113, 'A', {'\x01', '\x1b', '!', 'a'}},  // 10
    {0x211212, 'B', {'\x02', '\x1c', '"', 'b'}},  // 11
    {0x211311, 'C', {'\x03', '\x1d', '#', 'c'}},  // 12
    {0x221112, 'D', {'\x04', '\x1e', '$', 'd'}},  // 13
    {0x221211, 'E', {'\x05', '\x1f', '%', 'e'}},  // 14
    {0x231111, 'F', {'\x06', ';', '&', 'f'}},     // 15
    {0x112113, 'G', {'\x07', '<', '\'', 'g'}},    // 16
    {0x112212, 'H', {'\x08', '=', '(', 'h'}},     // 17
    {0x112311, 'I', {'\x09', '>', ')', 'i'}},     // 18
    {0x122112, 'J', {'\x0a', '?', '*', 'j'}},     // 19
    {0x132111, 'K', {'\x0b', '[', '+', 'k'}},     // 20
    {0x111123, 'L', {'\x0c', '\\', ',', 'l'}},    // 21
    {0x111222, 'M', {'\x0d', ']', '-', 'm'}},     // 22
    {0x111321, 'N', {'\x0e', '^', '.', 'n'}},     // 23
    {0x121122, 'O', {'\x0f', '_', '/', 'o'}},     // 24
    {0x131121, 'P', {'\x10', '{', 0, 'p'}},       // 25
    {0x212112, 'Q', {'\x11', '|', 0, 'q'}},       // 26
    {0x212211, 'R', {'\x12', '}', 0, 'r'}},       // 27
    {0x211122, 'S', {'\x13', '~', 0, 's'}},       // 28
    {0x211221, 'T', {'\x14', '\x7f', 0, 't'}},    // 29
    {0x221121, 'U', {'\x15', 0, 0, 'u'}},         // 30
    {0x222111, 'V', {'\x16', '@', 0, 'v'}},       // 31
    {0x112122, 'W', {'\x17', '`', 0, 'w'}},       // 32
    {0x112221, 'X', {'\x18', '\x7f', 0, 'x'}},    // 33
    {0x122121, 'Y', {'\x19', '\x7f', 0, 'y'}},    // 34
    {0x123111, 'Z', {'\x1a', '\x7f', ':', 'z'}},  // 35
    {0x121131, '-', {0, 0, 0, 0}},                // 36
    {0x311112, '.', {0, 0, 0, 0}},                // 37
    {0x311211, ' ', {0, 0, 0, 0}},                // 38
    {0x321111, '$', {0, 0, 0, 0}},                // 39
    {0x112131, '/', {0, 0, 0, 0}},                // 40
    {0x113121, '+', {0, 0, 0, 0}},                // 41
    {0x211131, '%', {0, 0, 0, 0}},                // 42
}};

struct ShiftRow {
    int32_t widths;
    Code93Shift shift;
};

constexpr int32_t kDollarWidths = 0x121221;
constexpr int32_t kPercentWidths = 0x312111;
constexpr int32_t kSlashWidths = 0x311121;
constexpr int32_t kPlusWidths = 0x122211;
constexpr int32_t kStartStopWidths = 0x111141;

// Values 43-46 of each type.
constexpr std::array<ShiftRow, 4> kCode93Shifts = {{
    {kDollarWidths, Code93Shift::kDollar},
    {kSlashWidths, Code93Shift::kSlash},
    {kPlusWidths, Code93Shift::kPlus},
    {kPercentWidths, Code93Shift::kPercent},
}};
constexpr std::array<ShiftRow, 4> kType2Shifts = {{
    {kDollarWidths, Code93Shift::kDollar},
    {kPercentWidths, Code93Shift::kPercent},
    {kSlashWidths, Code93Shift::kSlash},
    {kPlusWidths, Code93Shift::kPlus},
}};

const std::array<ShiftRow, 4>& Shifts(Code93Type type) {
    return type == Code93Type::kCode93 ? kCode93Shifts : kType2Shifts;
}

// Data rows first, then the type's shifts, then start/stop: the order of a first-match scan.
constexpr ModulePatternTable<6> BuildLookup(const std::array<ShiftRow, 4>& shifts) {
    ModulePatternTable<6> lookup;
    for (int value = 0; value < kDataRows; ++value)
        lookup.Add(kData[value].widths, value);
    for (int i = 0; i < static_cast<int>(shifts.size()); ++i)
        lookup.Add(shifts[i].widths, kCode93ShiftFirst + i);
    lookup.Add(kStartStopWidths, kCode93StartStop);
    return lookup;
}
constexpr ModulePatternTable<6> kCode93Lookup = BuildLookup(kCode93Shifts);
constexpr ModulePatternTable<6> kType2Lookup = BuildLookup(kType2Shifts);

}  // namespace

int FindCode93Value(int32_t widths, Code93Type type) {
    return Code93Patterns(type).Find(widths);
}

const ModulePatternTable<6>& Code93Patterns(Code93Type type) {
    return type == Code93Type::kCode93 ? kCode93Lookup : kType2Lookup;
}

Code93Shift Code93ShiftOf(int value, Code93Type type) {
    return Shifts(type)[value - kCode93ShiftFirst].shift;
}

char Code93Character(int value) {
    return kData[value].plain;
}

char Code93Shifted(int value, Code93Shift shift) {
    return kData[value].after[static_cast<int>(shift)];
}

}  // namespace pixdoc::barcode
