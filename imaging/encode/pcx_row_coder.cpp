#include "imaging/encode/pcx_row_coder.h"

namespace pixdoc::encode {
namespace {

constexpr uint32_t kRunMark = 0xC0;
constexpr int kMaxRun = 63;
constexpr int kByteBits = 8;

// A run of `count` (1..63) equal bytes.
void PutRun(BitPacker& out, uint32_t value, int count) {
    if (count == 1 && value < kRunMark) {
        out.Put(value, kByteBits);
        return;
    }
    out.Put(kRunMark + uint32_t(count), kByteBits);
    out.Put(value, kByteBits);
}

}  // namespace

void CodePcxRow(const uint8_t* row, int32_t width, BitPacker& out) {
    const int row_bytes = (width + 7) / 8;
    const int tail_bits = width % 8;
    const uint8_t last_mask = tail_bits ? uint8_t(0xFF << (8 - tail_bits)) : uint8_t(0xFF);
    auto pcx_byte = [&](int i) {
        const uint8_t b = i == row_bytes - 1 ? uint8_t(row[i] & last_mask) : row[i];
        return uint32_t(uint8_t(~b));
    };
    // Bound: `i` advances by the run length, at least one byte a pass.
    for (int i = 0; i < row_bytes;) {
        const uint32_t value = pcx_byte(i);
        int run = 1;
        while (i + run < row_bytes && pcx_byte(i + run) == value)
            ++run;
        i += run;
        for (; run > kMaxRun; run -= kMaxRun)
            PutRun(out, value, kMaxRun);
        PutRun(out, value, run);
    }
}

}  // namespace pixdoc::encode
