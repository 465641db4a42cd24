// Huffman tables (T.81 Annex C) with the 8-bit look-ahead table, and the bit reader over the
// entropy-coded data. The bit reader stops at a marker and feeds zero bits from then on,
// counting them, so that a block which used bits beyond the real data is detected.
#pragma once

#include <array>
#include <cstdint>

#include "imaging/decode/jpeg/jpeg_input.h"

namespace pixdoc::jpeg {

constexpr int kHuffmanTableCount = 3;  // table numbers 0 to 2
constexpr int kMaxHuffmanSymbols = 256;
constexpr int kMaxCodeLength = 16;
constexpr int kLookaheadBits = 8;
constexpr int32_t kMaxCodeSentinel = 0xFFFFF;

struct HuffmanTable {
    bool defined = false;
    std::array<uint8_t, kMaxCodeLength + 1> counts{};  // counts[l]: codes of length l
    std::array<uint8_t, kMaxHuffmanSymbols> symbols{};
    std::array<int32_t, kMaxCodeLength + 2> max_code{};  // largest code per length; -1 none
    std::array<int32_t, kMaxCodeLength + 2> val_offset{};
    // Look-ahead by the next 8 bits: (code length << 8) | symbol; length 0 means a longer code.
    std::array<uint16_t, 1 << kLookaheadBits> lookahead{};
};

enum class HuffmanBuild { kOk, kTooMany, kOversubscribed };

// Generates the codes of a table whose counts and symbols are filled in.
HuffmanBuild BuildHuffmanTable(HuffmanTable& table);

struct BitReader {
    uint64_t acc = 0;      // next bit at bit 63
    int bits = 0;          // bits held in acc, padding included
    int pad_bits = 0;      // zero bits fed after a marker or the end of data
    bool stopped = false;  // a marker (or the end of the data) stopped the reader
    int marker = 0;        // the marker code that stopped it; 0 for the end of the data

    void Reset() { *this = BitReader{}; }
    // True when a decoded unit used bits that the stream does not hold.
    bool Overrun() const { return bits < pad_bits; }
};

// Tops the reader up to at least 57 bits.
void FillBits(BitReader& br, Input& in);

inline void EnsureBits(BitReader& br, Input& in, int count) {
    if (br.bits < count) FillBits(br, in);
}

inline int PeekBits(const BitReader& br, int count) {
    return static_cast<int>(br.acc >> (64 - count));
}

inline void SkipBits(BitReader& br, int count) {
    br.acc <<= count;
    br.bits -= count;
}

// Reads 0 to 16 bits; the caller has made them available.
inline int GetBits(BitReader& br, int count) {
    if (count == 0) return 0;
    int value = PeekBits(br, count);
    SkipBits(br, count);
    return value;
}

// T.81 F.2.2.1 EXTEND: a value of `size` bits to its signed amount.
inline int Extend(int value, int size) {
    return value < (1 << (size - 1)) ? value - (1 << size) + 1 : value;
}

// Decodes one symbol; -1 for a code the table does not hold. Needs 16 bits available.
inline int DecodeSymbol(BitReader& br, const HuffmanTable& table) {
    uint16_t entry = table.lookahead[PeekBits(br, kLookaheadBits)];
    if (entry >> 8) {
        SkipBits(br, entry >> 8);
        return entry & 0xFF;
    }
    for (int length = kLookaheadBits + 1; length <= kMaxCodeLength; ++length) {
        int32_t code = PeekBits(br, length);
        if (code <= table.max_code[length]) {
            SkipBits(br, length);
            return table.symbols[(table.val_offset[length] + code) & 0xFF];
        }
    }
    return -1;
}

}  // namespace pixdoc::jpeg
