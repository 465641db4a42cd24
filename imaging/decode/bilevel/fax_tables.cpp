#include "imaging/decode/bilevel/fax_tables.h"

#include <span>

namespace pixdoc::bilevel {
namespace {

// Every index whose leading `length` bits (of `width`) equal the code gets the entry.
template <typename Entry>
void Fill(Entry* table, int width, uint32_t code, int length, Entry entry) {
    const int free_bits = width - length;
    const uint32_t base = code << free_bits;
    for (uint32_t i = 0; i < (1u << free_bits); ++i)
        table[base | i] = entry;
}

void AddRun(RunTables& t, const FaxCode& c, RunKind kind) {
    const RunEntry entry{c.run, c.length, kind};
    if (c.length <= kFirstLevelBits) {
        Fill(t.first, kFirstLevelBits, c.bits, c.length, entry);
        return;
    }
    // Longer codes begin with four zeros: their remaining bits index the second level.
    Fill(t.second, kFirstLevelBits, c.bits, c.length - kSecondLevelPrefixZeros, entry);
}

void BuildRuns(RunTables& t, std::span<const FaxCode> terminating,
               std::span<const FaxCode> make_up) {
    for (RunEntry& e : t.first)
        e = {0, 0, RunKind::kInvalid};
    for (RunEntry& e : t.second)
        e = {0, 0, RunKind::kInvalid};
    // Four leading zeros lead to the second level unless a short code claims the index.
    Fill(t.first, kFirstLevelBits, 0, kSecondLevelPrefixZeros,
         RunEntry{0, 0, RunKind::kSecondLevel});
    for (const FaxCode& c : terminating)
        AddRun(t, c, RunKind::kTerminating);
    for (const FaxCode& c : make_up)
        AddRun(t, c, RunKind::kMakeUp);
    for (const FaxCode& c : kExtendedMakeUp)
        AddRun(t, c, RunKind::kMakeUp);
    AddRun(t, kEol, RunKind::kEol);
}

void BuildModes(ModeEntry* modes) {
    for (int i = 0; i < (1 << kModeBits); ++i)
        modes[i] = {Mode::kInvalid, 0};
    for (const ModeCode& c : kModeCodeList)
        Fill(modes, kModeBits, c.bits, c.length, ModeEntry{c.mode, c.length});
}

FaxTables Build() {
    FaxTables t{};
    BuildRuns(t.white, kWhiteTerminating, kWhiteMakeUp);
    BuildRuns(t.black, kBlackTerminating, kBlackMakeUp);
    BuildModes(t.modes);
    return t;
}

}  // namespace

const FaxTables& Tables() {
    static const FaxTables tables = Build();
    return tables;
}

}  // namespace pixdoc::bilevel
