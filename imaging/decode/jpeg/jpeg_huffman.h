// Huffman tables (T.81 Annex C) with the 8-bit look-ahead table, and the bit reader over the
// entropy-coded data. The bit reader stops at a marker and feeds zero bits from then on,
// counting them, so that a block which used bits beyond the real data is detected.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "imaging/decode/jpeg/jpeg_input.h"

namespace pixdoc::jpeg {

constexpr int kHuffmanTableCount = 3;  // table numbers 0 to 2
constexpr int kMaxHuffmanSymbols = 256;
constexpr int kMaxCodeLength = 16;
constexpr int kLookaheadBits = 8;
constexpr int32_t kMaxCodeSentinel = 0xFFFFF;
// Combined look-ahead: a short code and the value bits after it, resolved in one step.
constexpr int kFastBits = 10;

struct HuffmanTable {
    bool defined = false;
    std::array<uint8_t, kMaxCodeLength + 1> counts{};  // counts[l]: codes of length l
    std::array<uint8_t, kMaxHuffmanSymbols> symbols{};
    std::array<int32_t, kMaxCodeLength + 2> max_code{};  // largest code per length; -1 none
    std::array<int32_t, kMaxCodeLength + 2> val_offset{};
    // Look-ahead by the next 8 bits: (code length << 8) | symbol; length 0 means a longer code.
    std::array<uint16_t, 1 << kLookaheadBits> lookahead{};
    // Combined look-ahead by the next kFastBits bits, for a code whose length plus its value
    // size (the symbol's low nibble) fits them: (extended value << 16) | (symbol << 8) | total
    // length. 0 means the entry is not resolved here.
    std::array<int32_t, 1 << kFastBits> fast{};
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

// Tops the reader up to at least 57 bits, byte by byte, handling stuffed zeros and markers.
void FillBits(BitReader& br, Input& in);

// Mask of the bytes of `word` that are 0xFF (high bit of each such byte); exact up to and
// including the lowest one, which is all the caller uses.
inline uint64_t FfBytes(uint64_t word) {
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHighs = 0x8080808080808080ULL;
    const uint64_t inverted = ~word;
    return (inverted - kOnes) & word & kHighs;
}

// Takes as many whole bytes as fit from an 8-byte load when none of them is 0xFF; the byte
// loop of FillBits finishes the rest (a 0xFF near, the buffer's end, the end of the data).
inline void FillBitsFast(BitReader& br, Input& in) {
    if (!br.stopped && in.available() >= sizeof(uint64_t)) {
        uint64_t word;
        std::memcpy(&word, in.data(), sizeof word);
        int take = (64 - br.bits) >> 3;
        if (uint64_t ff = FfBytes(word)) {
            const int before_ff = std::countr_zero(ff) >> 3;
            if (before_ff < take) take = before_ff;
        }
        if (take > 0) {
            uint64_t bytes = word;
            if constexpr (std::endian::native == std::endian::little)
                bytes = __builtin_bswap64(bytes);
            bytes &= ~uint64_t{0} << (64 - 8 * take);
            br.acc |= bytes >> br.bits;
            br.bits += 8 * take;
            in.Advance(static_cast<size_t>(take));
            if (br.bits > 56) return;
        }
    }
    FillBits(br, in);
}

inline void EnsureBits(BitReader& br, Input& in, int count) {
    if (br.bits < count) FillBitsFast(br, in);
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
