#include "imaging/barcode/code39_table.h"

#include <array>
#include <cstddef>

namespace pixdoc::barcode {
namespace {

constexpr int kElements = 9;

// As the standard lists them: element widths bar, space, bar, ..., bar; n narrow, w wide.
struct Written {
    char character;
    const char* widths;
};

constexpr Written kWritten[] = {
    {'1', "wnnwnnnnw"}, {'2', "nnwwnnnnw"}, {'3', "wnwwnnnnn"}, {'4', "nnnwwnnnw"},
    {'5', "wnnwwnnnn"}, {'6', "nnwwwnnnn"}, {'7', "nnnwnnwnw"}, {'8', "wnnwnnwnn"},
    {'9', "nnwwnnwnn"}, {'0', "nnnwwnwnn"}, {'A', "wnnnnwnnw"}, {'B', "nnwnnwnnw"},
    {'C', "wnwnnwnnn"}, {'D', "nnnnwwnnw"}, {'E', "wnnnwwnnn"}, {'F', "nnwnwwnnn"},
    {'G', "nnnnnwwnw"}, {'H', "wnnnnwwnn"}, {'I', "nnwnnwwnn"}, {'J', "nnnnwwwnn"},
    {'K', "wnnnnnnww"}, {'L', "nnwnnnnww"}, {'M', "wnwnnnnwn"}, {'N', "nnnnwnnww"},
    {'O', "wnnnwnnwn"}, {'P', "nnwnwnnwn"}, {'Q', "nnnnnnwww"}, {'R', "wnnnnnwwn"},
    {'S', "nnwnnnwwn"}, {'T', "nnnnwnwwn"}, {'U', "wwnnnnnnw"}, {'V', "nwwnnnnnw"},
    {'W', "wwwnnnnnn"}, {'X', "nwnnwnnnw"}, {'Y', "wwnnwnnnn"}, {'Z', "nwwnwnnnn"},
    {'-', "nwnnnnwnw"}, {'.', "wwnnnnwnn"}, {' ', "nwwnnnwnn"}, {'*', "nwnnwnwnn"},
    {'$', "nwnwnwnnn"}, {'/', "nwnwnnnwn"}, {'+', "nwnnnwnwn"}, {'%', "nnnwnwnwn"},
};

constexpr int Pattern(const char* widths, bool reversed) {
    int pattern = 0;
    for (int i = 0; i < kElements; ++i) {
        char w = widths[reversed ? kElements - 1 - i : i];
        pattern = (pattern << 1) | (w == 'w' ? 1 : 0);
    }
    return pattern;
}

constexpr auto BuildTable() {
    std::array<Code39Row, std::size(kWritten)> rows{};
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = {kWritten[i].character, Pattern(kWritten[i].widths, false),
                   Pattern(kWritten[i].widths, true)};
    return rows;
}

constexpr auto kTable = BuildTable();

static_assert(kTable.size() == 44);
static_assert(kTable[39].character == '*' && kTable[39].forward == kCode39StartForward &&
              kTable[39].backward == kCode39StartBackward);
static_assert(kTable[25].character == 'P' && kTable[25].forward == kCode39StartBackward);

}  // namespace

std::span<const Code39Row> Code39Table() {
    return kTable;
}

const Code39Row* FindCode39Forward(int pattern) {
    for (const Code39Row& row : kTable)
        if (row.forward == pattern) return &row;
    return nullptr;
}

const Code39Row* FindCode39Backward(int pattern) {
    for (const Code39Row& row : kTable)
        if (row.backward == pattern) return &row;
    return nullptr;
}

}  // namespace pixdoc::barcode
