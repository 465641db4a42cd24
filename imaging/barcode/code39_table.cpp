#include "imaging/barcode/code39_table.h"

#include <array>
#include <cstddef>
#include <cstdint>

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

constexpr int kPatterns = 1 << kElements;
constexpr int8_t kNoRow = -1;

// Pattern -> index of the first row with that pattern (search order), for the per-element hot
// path; built from the table, so the table stays the only source.
template <bool Backward>
constexpr auto BuildIndex() {
    std::array<int8_t, kPatterns> index{};
    index.fill(kNoRow);
    for (int i = static_cast<int>(kTable.size()) - 1; i >= 0; --i)
        index[Backward ? kTable[i].backward : kTable[i].forward] = static_cast<int8_t>(i);
    return index;
}

constexpr auto kForwardIndex = BuildIndex<false>();
constexpr auto kBackwardIndex = BuildIndex<true>();

const Code39Row* Lookup(const std::array<int8_t, kPatterns>& index, int pattern) {
    if (pattern < 0 || pattern >= kPatterns || index[pattern] == kNoRow) return nullptr;
    return &kTable[index[pattern]];
}

}  // namespace

std::span<const Code39Row> Code39Table() {
    return kTable;
}

const Code39Row* FindCode39Forward(int pattern) {
    return Lookup(kForwardIndex, pattern);
}

const Code39Row* FindCode39Backward(int pattern) {
    return Lookup(kBackwardIndex, pattern);
}

}  // namespace pixdoc::barcode
