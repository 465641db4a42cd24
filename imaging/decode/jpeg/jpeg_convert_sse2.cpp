// SSE2 colour conversion, 16 pixels a step, giving exactly the table values: each table entry
// (start + k * step) >> 16 is computed as A1 + d * S1 + ((A0 + d * S0) >> 16), where d = k - 128
// and the value at d = 0 (A) and the step (S) are split into a multiple of 65536 and a 16-bit
// rest, which one multiply-add handles in 32-bit lanes. Results within -226 .. 481 make the
// range limit a plain saturation to 0 .. 255.
#include "imaging/decode/jpeg/jpeg_convert.h"

#if defined(PIXDOC_JPEG_HAVE_SSE2)
#include <emmintrin.h>

namespace pixdoc::jpeg {
namespace {

constexpr int kStep = 16;

// The split form of one table line.
struct SplitLine {
    __m128i madd;      // pairs (S0, A0) for madd with (d, 1)
    __m128i whole;     // A1
    __m128i multiple;  // S1
};

bool Split(int32_t start, int32_t step, SplitLine& out) {
    const int64_t a = int64_t{start} + int64_t{128} * step;
    const int64_t a1 = (a + 32768) >> 16, a0 = a - a1 * 65536;
    const int64_t s1 = (step + 32768) >> 16, s0 = step - s1 * 65536;
    if (a0 < -32768 || a0 > 32767 || s0 < -32768 || s0 > 32767) return false;
    out.madd = _mm_set1_epi32(static_cast<int32_t>((static_cast<uint32_t>(a0 & 0xFFFF) << 16) |
                                                   static_cast<uint32_t>(s0 & 0xFFFF)));
    out.whole = _mm_set1_epi16(static_cast<int16_t>(a1));
    out.multiple = _mm_set1_epi16(static_cast<int16_t>(s1));
    return true;
}

// Table values for 8 chroma samples d (already less 128).
inline __m128i Terms(__m128i d, const SplitLine& line) {
    const __m128i one = _mm_set1_epi16(1);
    __m128i lo = _mm_srai_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(d, one), line.madd), 16);
    __m128i hi = _mm_srai_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(d, one), line.madd), 16);
    __m128i rest = _mm_packs_epi32(lo, hi);
    return _mm_add_epi16(_mm_add_epi16(rest, line.whole), _mm_mullo_epi16(d, line.multiple));
}

// Packs four pixels of red, green, blue, 0 into 12 bytes and stores them with one 16-byte
// write; its last 4 bytes are covered by the next store or the scalar tail.
inline void StorePixels(__m128i p, uint8_t*& out) {
    const __m128i first = _mm_set1_epi64x(0x0000000000FFFFFF);
    const __m128i second = _mm_set1_epi64x(0x0000FFFFFF000000);
    // Within each 64-bit half: pixel 0 stays, pixel 1 moves down one byte next to it.
    const __m128i halves =
        _mm_or_si128(_mm_and_si128(p, first), _mm_and_si128(_mm_srli_epi64(p, 8), second));
    // The upper half's 6 bytes follow the lower half's.
    const __m128i packed =
        _mm_or_si128(_mm_move_epi64(halves), _mm_slli_si128(_mm_srli_si128(halves, 8), 6));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), packed);
    out += 12;
}

// The red, green and blue terms of 16 pixels, added to their luma.
struct ChromaTerms {
    __m128i red_lo, red_hi, green_lo, green_hi, blue_lo, blue_hi;
};

inline void StoreSixteen(const uint8_t* y, const ChromaTerms& t, uint8_t* out) {
    const __m128i zero = _mm_setzero_si128();
    __m128i luma = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y));
    __m128i y_lo = _mm_unpacklo_epi8(luma, zero), y_hi = _mm_unpackhi_epi8(luma, zero);
    __m128i r8 = _mm_packus_epi16(_mm_add_epi16(y_lo, t.red_lo), _mm_add_epi16(y_hi, t.red_hi));
    __m128i g8 = _mm_packus_epi16(_mm_add_epi16(y_lo, t.green_lo), _mm_add_epi16(y_hi, t.green_hi));
    __m128i b8 = _mm_packus_epi16(_mm_add_epi16(y_lo, t.blue_lo), _mm_add_epi16(y_hi, t.blue_hi));
    __m128i rg_lo = _mm_unpacklo_epi8(r8, g8), rg_hi = _mm_unpackhi_epi8(r8, g8);
    __m128i b_lo = _mm_unpacklo_epi8(b8, zero), b_hi = _mm_unpackhi_epi8(b8, zero);
    StorePixels(_mm_unpacklo_epi16(rg_lo, b_lo), out);
    StorePixels(_mm_unpackhi_epi16(rg_lo, b_lo), out);
    StorePixels(_mm_unpacklo_epi16(rg_hi, b_hi), out);
    StorePixels(_mm_unpackhi_epi16(rg_hi, b_hi), out);
}

}  // namespace

int ConvertRowRgbSse2(const ConversionLines& lines, const uint8_t* y, const uint8_t* cb,
                      const uint8_t* cr, int chroma_h, int width, uint8_t* out) {
    return ConvertRowsRgbSse2(lines, y, nullptr, cb, cr, chroma_h, width, out, nullptr);
}

int ConvertRowsRgbSse2(const ConversionLines& lines, const uint8_t* y, const uint8_t* y_second,
                       const uint8_t* cb, const uint8_t* cr, int chroma_h, int width, uint8_t* out,
                       uint8_t* out_second) {
    SplitLine red, blue, cr_green, cb_green;
    if (!Split(lines.cr_red.start, lines.cr_red.step, red) ||
        !Split(lines.cb_blue.start, lines.cb_blue.step, blue) ||
        !Split(lines.cr_green.start, lines.cr_green.step, cr_green) ||
        !Split(lines.cb_green.start, lines.cb_green.step, cb_green))
        return 0;
    const __m128i zero = _mm_setzero_si128();
    const __m128i centre = _mm_set1_epi16(128);
    int x = 0;
    // Stop one step early: the last 16-byte store reaches 4 bytes past its 12.
    for (; x + kStep < width; x += kStep) {
        __m128i cb_lo, cb_hi, cr_lo, cr_hi;
        if (chroma_h == 2) {
            __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(cb + x / 2));
            __m128i r = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(cr + x / 2));
            cb_lo = _mm_sub_epi16(_mm_unpacklo_epi8(b, zero), centre);
            cr_lo = _mm_sub_epi16(_mm_unpacklo_epi8(r, zero), centre);
        } else {
            __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cb + x));
            __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cr + x));
            cb_lo = _mm_sub_epi16(_mm_unpacklo_epi8(b, zero), centre);
            cb_hi = _mm_sub_epi16(_mm_unpackhi_epi8(b, zero), centre);
            cr_lo = _mm_sub_epi16(_mm_unpacklo_epi8(r, zero), centre);
            cr_hi = _mm_sub_epi16(_mm_unpackhi_epi8(r, zero), centre);
        }
        ChromaTerms terms;
        if (chroma_h == 2) {
            __m128i rt = Terms(cr_lo, red), bt = Terms(cb_lo, blue);
            __m128i gt = _mm_add_epi16(Terms(cr_lo, cr_green), Terms(cb_lo, cb_green));
            terms.red_lo = _mm_unpacklo_epi16(rt, rt), terms.red_hi = _mm_unpackhi_epi16(rt, rt);
            terms.green_lo = _mm_unpacklo_epi16(gt, gt);
            terms.green_hi = _mm_unpackhi_epi16(gt, gt);
            terms.blue_lo = _mm_unpacklo_epi16(bt, bt), terms.blue_hi = _mm_unpackhi_epi16(bt, bt);
        } else {
            terms.red_lo = Terms(cr_lo, red), terms.red_hi = Terms(cr_hi, red);
            terms.green_lo = _mm_add_epi16(Terms(cr_lo, cr_green), Terms(cb_lo, cb_green));
            terms.green_hi = _mm_add_epi16(Terms(cr_hi, cr_green), Terms(cb_hi, cb_green));
            terms.blue_lo = Terms(cb_lo, blue), terms.blue_hi = Terms(cb_hi, blue);
        }
        StoreSixteen(y + x, terms, out + 3 * x);
        if (y_second) StoreSixteen(y_second + x, terms, out_second + 3 * x);
    }
    return x;
}

}  // namespace pixdoc::jpeg
#endif
