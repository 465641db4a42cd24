// PackBits (TIFF compression 32773), the one reading of it that the bilevel decoder and the
// colour TIFF reader share: a header byte n, then n + 1 literal bytes (n 0..127), or the next
// byte repeated 257 - n times (n 129..255); n = 128 does nothing.
//
// A Source offers int NextByte() (-1 at the end of the data) and bool Take(uint8_t* out,
// int32_t n) (exactly n bytes, or false); Drop also needs bool Skip(int32_t n).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace pixdoc {

class PackBitsRun {
public:
    // Fills out[0..count) from `in`, going on with the run an earlier call left unfinished.
    // False when the data ends first.
    template <typename Source>
    bool Fill(Source& in, uint8_t* out, int32_t count) {
        int32_t done = 0;
        // Bound: every turn fills at least one byte or consumes a header from `in`.
        while (done < count) {
            if (repeat_left_ > 0) {
                const int32_t n = std::min(repeat_left_, count - done);
                std::memset(out + done, repeat_value_, static_cast<size_t>(n));
                done += n;
                repeat_left_ -= n;
            } else if (literal_left_ > 0) {
                const int32_t n = std::min(literal_left_, count - done);
                if (!in.Take(out + done, n)) return false;
                done += n;
                literal_left_ -= n;
            } else if (!Start(in)) {
                return false;
            }
        }
        return true;
    }

    // Ends the run in progress, for codings whose runs stop at the end of a row: the rest of a
    // literal is skipped. False when the data ends first.
    template <typename Source>
    bool Drop(Source& in) {
        repeat_left_ = 0;
        const int32_t skip = literal_left_;
        literal_left_ = 0;
        return skip == 0 || in.Skip(skip);
    }

private:
    static constexpr int kNoOperation = 128;
    static constexpr int kLiteralMax = 127;
    static constexpr int kRepeatBase = 257;

    template <typename Source>
    bool Start(Source& in) {
        const int n = in.NextByte();
        if (n < 0) return false;
        if (n == kNoOperation) return true;
        if (n <= kLiteralMax) {
            literal_left_ = n + 1;
            return true;
        }
        const int value = in.NextByte();
        if (value < 0) return false;
        repeat_left_ = kRepeatBase - n;
        repeat_value_ = static_cast<uint8_t>(value);
        return true;
    }

    int32_t literal_left_ = 0;
    int32_t repeat_left_ = 0;
    uint8_t repeat_value_ = 0;
};

}  // namespace pixdoc
