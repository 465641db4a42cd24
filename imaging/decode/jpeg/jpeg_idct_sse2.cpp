// The SSE2 inverse DCT: the same AAN steps as the scalar version on eight 16-bit lanes. Each
// multiplication by an AAN constant c (8 fractional bits) is mulhi(x << 2, c << 6), which
// equals (x * c) >> 8; 2.613 does not fit a lane and is applied as 1.613 plus 1.
#include "imaging/decode/jpeg/jpeg_idct.h"

#if defined(PIXDOC_JPEG_HAVE_SSE2)
#include <emmintrin.h>

namespace pixdoc::jpeg {
namespace {

constexpr int kPreShift = 2;
constexpr int kConstShift = 6;
constexpr int kOutputShift = 5;

inline __m128i Mul(__m128i x, __m128i constant) {
    return _mm_mulhi_epi16(_mm_slli_epi16(x, kPreShift), constant);
}

struct Rows {
    __m128i r[8];
};

inline void Transform(Rows& v) {
    const __m128i f1414 = _mm_set1_epi16(362 << kConstShift);
    const __m128i f1847 = _mm_set1_epi16(473 << kConstShift);
    const __m128i f1082 = _mm_set1_epi16(277 << kConstShift);
    const __m128i fm1613 = _mm_set1_epi16(static_cast<int16_t>(-(669 - 256) << kConstShift));

    __m128i tmp10 = _mm_add_epi16(v.r[0], v.r[4]);
    __m128i tmp11 = _mm_sub_epi16(v.r[0], v.r[4]);
    __m128i tmp13 = _mm_add_epi16(v.r[2], v.r[6]);
    __m128i tmp12 = _mm_sub_epi16(Mul(_mm_sub_epi16(v.r[2], v.r[6]), f1414), tmp13);
    __m128i tmp0 = _mm_add_epi16(tmp10, tmp13);
    __m128i tmp3 = _mm_sub_epi16(tmp10, tmp13);
    __m128i tmp1 = _mm_add_epi16(tmp11, tmp12);
    __m128i tmp2 = _mm_sub_epi16(tmp11, tmp12);

    __m128i z13 = _mm_add_epi16(v.r[5], v.r[3]);
    __m128i z10 = _mm_sub_epi16(v.r[5], v.r[3]);
    __m128i z11 = _mm_add_epi16(v.r[1], v.r[7]);
    __m128i z12 = _mm_sub_epi16(v.r[1], v.r[7]);
    __m128i tmp7 = _mm_add_epi16(z11, z13);
    __m128i t11 = Mul(_mm_sub_epi16(z11, z13), f1414);
    __m128i z5 = Mul(_mm_add_epi16(z10, z12), f1847);
    __m128i t10 = _mm_sub_epi16(Mul(z12, f1082), z5);
    __m128i t12 = _mm_add_epi16(_mm_sub_epi16(Mul(z10, fm1613), z10), z5);
    __m128i tmp6 = _mm_sub_epi16(t12, tmp7);
    __m128i tmp5 = _mm_sub_epi16(t11, tmp6);
    __m128i tmp4 = _mm_add_epi16(t10, tmp5);

    v.r[0] = _mm_add_epi16(tmp0, tmp7);
    v.r[7] = _mm_sub_epi16(tmp0, tmp7);
    v.r[1] = _mm_add_epi16(tmp1, tmp6);
    v.r[6] = _mm_sub_epi16(tmp1, tmp6);
    v.r[2] = _mm_add_epi16(tmp2, tmp5);
    v.r[5] = _mm_sub_epi16(tmp2, tmp5);
    v.r[4] = _mm_add_epi16(tmp3, tmp4);
    v.r[3] = _mm_sub_epi16(tmp3, tmp4);
}

inline void Transpose(Rows& v) {
    __m128i a0 = _mm_unpacklo_epi16(v.r[0], v.r[1]);
    __m128i a1 = _mm_unpackhi_epi16(v.r[0], v.r[1]);
    __m128i a2 = _mm_unpacklo_epi16(v.r[2], v.r[3]);
    __m128i a3 = _mm_unpackhi_epi16(v.r[2], v.r[3]);
    __m128i a4 = _mm_unpacklo_epi16(v.r[4], v.r[5]);
    __m128i a5 = _mm_unpackhi_epi16(v.r[4], v.r[5]);
    __m128i a6 = _mm_unpacklo_epi16(v.r[6], v.r[7]);
    __m128i a7 = _mm_unpackhi_epi16(v.r[6], v.r[7]);
    __m128i b0 = _mm_unpacklo_epi32(a0, a2);
    __m128i b1 = _mm_unpackhi_epi32(a0, a2);
    __m128i b2 = _mm_unpacklo_epi32(a1, a3);
    __m128i b3 = _mm_unpackhi_epi32(a1, a3);
    __m128i b4 = _mm_unpacklo_epi32(a4, a6);
    __m128i b5 = _mm_unpackhi_epi32(a4, a6);
    __m128i b6 = _mm_unpacklo_epi32(a5, a7);
    __m128i b7 = _mm_unpackhi_epi32(a5, a7);
    v.r[0] = _mm_unpacklo_epi64(b0, b4);
    v.r[1] = _mm_unpackhi_epi64(b0, b4);
    v.r[2] = _mm_unpacklo_epi64(b1, b5);
    v.r[3] = _mm_unpackhi_epi64(b1, b5);
    v.r[4] = _mm_unpacklo_epi64(b2, b6);
    v.r[5] = _mm_unpackhi_epi64(b2, b6);
    v.r[6] = _mm_unpacklo_epi64(b3, b7);
    v.r[7] = _mm_unpackhi_epi64(b3, b7);
}

}  // namespace

void IdctSse2(const int16_t* coefficients, const QuantTable& table, uint8_t* out, int stride) {
    // A block with only its DC term is flat: every sample is the DC term's.
    const __m128i* rows = reinterpret_cast<const __m128i*>(coefficients);
    __m128i any =
        _mm_and_si128(_mm_loadu_si128(rows), _mm_set_epi16(-1, -1, -1, -1, -1, -1, -1, 0));
    for (int i = 1; i < 8; ++i)
        any = _mm_or_si128(any, _mm_loadu_si128(rows + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) == 0xFFFF) {
        FillFlatBlock(coefficients[0], table, out, stride);
        return;
    }
    Rows v;
    for (int i = 0; i < 8; ++i) {
        __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coefficients + 8 * i));
        __m128i q =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.scaled16.data() + 8 * i));
        v.r[i] = _mm_mullo_epi16(c, q);
    }
    Transform(v);  // columns: each lane is one column
    Transpose(v);
    Transform(v);  // rows: each lane is one row
    Transpose(v);
    const __m128i centre = _mm_set1_epi8(static_cast<char>(0x80));
    for (int i = 0; i < 8; i += 2) {
        __m128i a = _mm_srai_epi16(v.r[i], kOutputShift);
        __m128i b = _mm_srai_epi16(v.r[i + 1], kOutputShift);
        __m128i packed = _mm_xor_si128(_mm_packs_epi16(a, b), centre);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i * stride), packed);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + (i + 1) * stride),
                         _mm_srli_si128(packed, 8));
    }
}

}  // namespace pixdoc::jpeg
#endif
