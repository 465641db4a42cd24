#include "imaging/decode/jpeg/jpeg_idct.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace pixdoc::jpeg {
namespace {

// The AAN multipliers in 8 fractional bits.
constexpr int kConstBits = 8;
constexpr int kFix1_082392200 = 277;
constexpr int kFix1_414213562 = 362;
constexpr int kFix1_847759065 = 473;
constexpr int kFix2_613125930 = 669;
// The pre-scaled tables carry 2 extra bits; 3 more come from the 8-point transforms.
constexpr int kOutputShift = 5;
constexpr int kCentre = 128;
constexpr int kScaleRoundBits = 12;
constexpr double kScaleOne = 16384.0;
// Dequantised values are held within what a damaged stream can push through the integer
// transform without overflow; real 8-bit data stays far below.
constexpr int kDequantLimit = 1 << 18;

inline int Multiply(int value, int constant) {
    return static_cast<int>((static_cast<int64_t>(value) * constant) >> kConstBits);
}

inline uint8_t Clamp(int value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

double AanScale(int k) {
    return k == 0 ? 1.0 : std::numbers::sqrt2 * std::cos(k * std::numbers::pi / 16.0);
}

// One 8-point AAN pass over in[0], in[step], ... in[7 * step].
inline void Transform8(const int* in, int step, int* out, int out_step) {
    int tmp0 = in[0], tmp1 = in[2 * step], tmp2 = in[4 * step], tmp3 = in[6 * step];
    int tmp10 = tmp0 + tmp2;
    int tmp11 = tmp0 - tmp2;
    int tmp13 = tmp1 + tmp3;
    int tmp12 = Multiply(tmp1 - tmp3, kFix1_414213562) - tmp13;
    tmp0 = tmp10 + tmp13;
    tmp3 = tmp10 - tmp13;
    tmp1 = tmp11 + tmp12;
    tmp2 = tmp11 - tmp12;

    int tmp4 = in[step], tmp5 = in[3 * step], tmp6 = in[5 * step], tmp7 = in[7 * step];
    int z13 = tmp6 + tmp5;
    int z10 = tmp6 - tmp5;
    int z11 = tmp4 + tmp7;
    int z12 = tmp4 - tmp7;
    tmp7 = z11 + z13;
    tmp11 = Multiply(z11 - z13, kFix1_414213562);
    int z5 = Multiply(z10 + z12, kFix1_847759065);
    tmp10 = Multiply(z12, kFix1_082392200) - z5;
    tmp12 = Multiply(z10, -kFix2_613125930) + z5;
    tmp6 = tmp12 - tmp7;
    tmp5 = tmp11 - tmp6;
    tmp4 = tmp10 + tmp5;

    out[0] = tmp0 + tmp7;
    out[7 * out_step] = tmp0 - tmp7;
    out[1 * out_step] = tmp1 + tmp6;
    out[6 * out_step] = tmp1 - tmp6;
    out[2 * out_step] = tmp2 + tmp5;
    out[5 * out_step] = tmp2 - tmp5;
    out[4 * out_step] = tmp3 + tmp4;
    out[3 * out_step] = tmp3 - tmp4;
}

}  // namespace

void PrescaleQuantTable(QuantTable& table) {
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) {
            int64_t scale = std::llround(AanScale(r) * AanScale(c) * kScaleOne);
            int64_t q = table.values[r * 8 + c];
            int64_t scaled = (q * scale + (1 << (kScaleRoundBits - 1))) >> kScaleRoundBits;
            table.scaled[r * 8 + c] = static_cast<int32_t>(std::min<int64_t>(scaled, INT32_MAX));
            table.scaled16[r * 8 + c] = static_cast<int16_t>(std::min<int64_t>(scaled, INT16_MAX));
        }
    }
}

void FillFlatBlock(int16_t dc, const QuantTable& table, uint8_t* out, int stride) {
    const int64_t v = static_cast<int64_t>(dc) * table.scaled[0];
    const int dequant = static_cast<int>(std::clamp<int64_t>(v, -kDequantLimit, kDequantLimit));
    const uint8_t sample = Clamp((dequant >> kOutputShift) + kCentre);
    for (int row = 0; row < 8; ++row)
        std::memset(out + row * stride, sample, 8);
}

void IdctScalar(const int16_t* coefficients, const QuantTable& table, uint8_t* out, int stride) {
    bool flat = true;
    for (int i = 1; i < 64 && flat; ++i)
        flat = coefficients[i] == 0;
    if (flat) {
        FillFlatBlock(coefficients[0], table, out, stride);
        return;
    }
    int dequant[64];
    for (int i = 0; i < 64; ++i) {
        int64_t v = static_cast<int64_t>(coefficients[i]) * table.scaled[i];
        dequant[i] = static_cast<int>(std::clamp<int64_t>(v, -kDequantLimit, kDequantLimit));
    }
    int work[64];
    for (int col = 0; col < 8; ++col) {
        const int* in = dequant + col;
        bool ac_zero = true;
        for (int row = 1; row < 8 && ac_zero; ++row)
            ac_zero = in[row * 8] == 0;
        if (ac_zero) {  // the column is flat: its DC term all the way down
            for (int row = 0; row < 8; ++row)
                work[row * 8 + col] = in[0];
            continue;
        }
        Transform8(in, 8, work + col, 8);
    }
    for (int row = 0; row < 8; ++row) {
        int result[8];
        Transform8(work + row * 8, 1, result, 1);
        uint8_t* line = out + row * stride;
        for (int i = 0; i < 8; ++i)
            line[i] = Clamp((result[i] >> kOutputShift) + kCentre);
    }
}

bool ProcessorHasSimd() {
#if defined(PIXDOC_JPEG_HAVE_SSE2)
    static const bool has = __builtin_cpu_supports("sse2");
    return has;
#else
    return false;
#endif
}

IdctFunction SelectIdct(bool request_simd) {
#if defined(PIXDOC_JPEG_HAVE_SSE2)
    if (request_simd && ProcessorHasSimd()) return IdctSse2;
#endif
    return IdctScalar;
}

}  // namespace pixdoc::jpeg
