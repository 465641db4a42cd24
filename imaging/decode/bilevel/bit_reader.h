// Most-significant-bit-first reader over a byte buffer with an explicit end.
//
// Bytes at or beyond `limit` read as zero and are never touched in memory; a run of zeros is
// no valid code of any coding, so every decoding loop ends once the data runs out. The reader
// keeps up to 64 bits in hand; `Save` puts whole unread bytes back so that the state between
// lines is a byte position plus at most 7 bits.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace pixdoc::bilevel {

// The reader state kept between lines (read position, bit accumulator and bit count).
struct BitPosition {
    int32_t position = 0;      // next unread byte
    uint32_t accumulator = 0;  // the unread bits of the last byte taken, in its top bits
    int32_t bit_count = 0;     // 0..7 unread bits in the accumulator
};

class BitReader {
public:
    // Longest code looked at in one peek.
    static constexpr int kMaxPeek = 32;

    BitReader(const uint8_t* data, int32_t limit, const BitPosition& at)
        : data_(data), limit_(limit), position_(at.position) {
        bits_ = at.bit_count & 7;
        acc_ = bits_ ? (uint64_t(at.accumulator & 0xFF) << 56) & ~(~0ull >> bits_) : 0;
        Fill();
    }

    // Top up so that at least kMaxPeek bits are in hand.
    void Fill() {
        if (bits_ > 56 - 8) return;
        if (position_ >= 0 && position_ + 8 <= limit_) {
            uint64_t word;
            std::memcpy(&word, data_ + position_, sizeof word);
            if constexpr (std::endian::native == std::endian::little)
                word = __builtin_bswap64(word);
            // The bits below the taken bytes are the next bytes' own bits: ORing them in again
            // later changes nothing.
            acc_ |= word >> bits_;
            const int take = (63 - bits_) >> 3;
            position_ += take;
            bits_ += take * 8;
            return;
        }
        while (bits_ <= 56) {
            const uint64_t byte = position_ < limit_ ? data_[position_] : 0;
            acc_ |= byte << (56 - bits_);
            ++position_;
            bits_ += 8;
        }
    }

    // The next n bits (1..kMaxPeek), first bit highest. Fill() must have run since n bits
    // were last consumed beyond kMaxPeek.
    uint32_t Peek(int n) const { return uint32_t(acc_ >> (64 - n)); }
    // Consumes n bits (at most the bits in hand).
    void Skip(int n) {
        acc_ <<= n;
        bits_ -= n;
    }
    // Leading zero bits in hand (64 when all are zero).
    int LeadingZeros() const { return acc_ ? std::countl_zero(acc_) : 64; }
    int BitsInHand() const { return bits_; }

    // Drops the bits left in the current byte.
    void AlignToByte() { Skip(bits_ & 7); }

    // True once the reader has consumed bits beyond the limit.
    bool PastLimit() const { return int64_t(position_) * 8 - bits_ > int64_t(limit_) * 8; }

    BitPosition Save() const {
        BitPosition at;
        int32_t unread_bytes = bits_ / 8;
        at.position = position_ - unread_bytes;
        at.bit_count = bits_ & 7;
        at.accumulator = at.bit_count ? uint32_t(acc_ >> 56) : 0;
        if (at.position > limit_) {  // bits beyond the data were consumed: nothing is left
            at.position = limit_;
            at.bit_count = 0;
            at.accumulator = 0;
        }
        return at;
    }

private:
    const uint8_t* data_;
    int32_t limit_;
    int32_t position_;  // next byte to take into the accumulator (may pass limit_)
    uint64_t acc_ = 0;  // bits in hand, first bit highest; bits below bits_ are zero or valid
    int bits_ = 0;
};

}  // namespace pixdoc::bilevel
