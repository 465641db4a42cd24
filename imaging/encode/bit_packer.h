// Codes packed most significant bit first and stored as big-endian 32-bit words, so that the
// byte stream reads first bit first. Between lines the bits that do not fill a word yet are
// kept in the compression record (first bit in bit 31, fewer than 32 of them).
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace pixdoc::encode {

class BitPacker {
public:
    // Starts storing at `out`, with `count` (0..31) carried-over bits at the top of `carried`.
    BitPacker(uint8_t* out, uint32_t carried, int count)
        : out_(out), acc_(uint64_t(carried) << 32), bits_(count) {}

    // Appends the low `length` bits of `code` (1..32; no bits above them may be set). Bound:
    // bits_ stays below 32 between calls, so the shift is at least 1 and one word store keeps it
    // there.
    void Put(uint32_t code, int length) {
        acc_ |= uint64_t(code) << (64 - bits_ - length);
        bits_ += length;
        if (bits_ >= kWordBits) StoreWord();
    }
    void PutZeros(int count) {
        for (; count > kWordBits; count -= kWordBits)
            Put(0, kWordBits);
        if (count > 0) Put(0, count);
    }
    // Zero bits up to the next byte boundary.
    void AlignToByte() {
        const int pad = (8 - bits_ % 8) % 8;
        if (pad > 0) Put(0, pad);
    }

    uint8_t* out() const { return out_; }
    uint32_t carried() const { return uint32_t(acc_ >> 32); }
    int count() const { return bits_; }
    // Bits stored or carried since `from` (where storing began).
    int64_t BitsSince(const uint8_t* from) const { return int64_t(out_ - from) * 8 + bits_; }

private:
    static constexpr int kWordBits = 32;

    void StoreWord() {
        uint32_t word = uint32_t(acc_ >> 32);
        if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap32(word);
        std::memcpy(out_, &word, sizeof word);
        out_ += sizeof word;
        acc_ <<= kWordBits;
        bits_ -= kWordBits;
    }

    uint8_t* out_;
    uint64_t acc_;  // bits in hand from bit 63 down
    int bits_;
};

}  // namespace pixdoc::encode
