#include "imaging/decode/jpeg/jpeg_blocks.h"

#include "imaging/decode/colour_error_code.h"
#include "imaging/decode/jpeg/jpeg_markers.h"

namespace pixdoc::jpeg {
namespace {

// A symbol and its value bits need at most 16 + 16 bits.
constexpr int kSymbolBits = 32;
constexpr int kMaxDcSize = 15;
constexpr int kZeroRun16 = 0xF0;

inline int Shifted(int value, int shift) {
    return value * (1 << shift);
}

// The predictor is kept in the 16-bit range the coefficients are stored in, so that damaged
// data cannot push it past the int range over many blocks.
inline int WrapPredictor(int value) {
    return static_cast<int16_t>(value);
}

// Decodes one symbol and the value its size nibble announces (0 for size 0); returns the
// symbol, or -1 for a code the table does not hold. Needs 32 bits available.
inline int DecodeSymbolAndValue(BitReader& br, const HuffmanTable& table, int& value) {
    const int32_t entry = table.fast[PeekBits(br, kFastBits)];
    if (entry & 0xFF) {
        SkipBits(br, entry & 0xFF);
        value = entry >> 16;
        return (entry >> 8) & 0xFF;
    }
    const int symbol = DecodeSymbol(br, table);
    const int size = symbol & 0x0F;
    value = symbol > 0 && size ? Extend(GetBits(br, size), size) : 0;
    return symbol;
}

}  // namespace

int DecodeBlockSequential(BlockContext& ctx, const HuffmanTable& dc, const HuffmanTable& ac,
                          int& predictor, int16_t* block) {
    // The reader works on a local copy, which the compiler keeps in registers; it is written
    // back on every way out.
    BitReader br = ctx.bits;
    int result = kColourOk;
    int value = 0;
    EnsureBits(br, ctx.input, kSymbolBits);
    int size = DecodeSymbolAndValue(br, dc, value);
    if (size < 0 || size > kMaxDcSize) {
        ctx.bits = br;
        return size < 0 ? kErrHuffmanInvalid : kErrHuffmanBadCode;
    }
    if (size) predictor = WrapPredictor(predictor + value);
    block[0] = static_cast<int16_t>(predictor);
    for (int k = 1; k < 64;) {
        EnsureBits(br, ctx.input, kSymbolBits);
        int rs = DecodeSymbolAndValue(br, ac, value);
        if (rs < 0) {
            result = kErrHuffmanInvalid;
            break;
        }
        if (rs & 0x0F) {
            k += rs >> 4;
            if (k > 63) {
                result = kErrHuffmanBadCode;
                break;
            }
            block[kNaturalOrder[k]] = static_cast<int16_t>(value);
            ++k;
        } else {
            if (rs != kZeroRun16) break;  // end of block
            k += 16;
        }
    }
    ctx.bits = br;
    return result;
}

int DecodeDcFirst(BlockContext& ctx, const HuffmanTable& dc, int& predictor, int16_t* block) {
    BitReader& br = ctx.bits;
    EnsureBits(br, ctx.input, kSymbolBits);
    int size = DecodeSymbol(br, dc);
    if (size < 0) return kErrHuffmanInvalid;
    if (size > kMaxDcSize) return kErrHuffmanBadCode;
    if (size) predictor = WrapPredictor(predictor + Extend(GetBits(br, size), size));
    block[0] = static_cast<int16_t>(Shifted(predictor, ctx.al));
    return kColourOk;
}

int DecodeDcRefine(BlockContext& ctx, int16_t* block) {
    EnsureBits(ctx.bits, ctx.input, 1);
    if (GetBits(ctx.bits, 1)) block[0] = static_cast<int16_t>(block[0] | (1 << ctx.al));
    return kColourOk;
}

int DecodeAcFirst(BlockContext& ctx, const HuffmanTable& ac, int16_t* block) {
    if (ctx.eob_run > 0) {
        --ctx.eob_run;
        return kColourOk;
    }
    BitReader& br = ctx.bits;
    for (int k = ctx.ss; k <= ctx.se; ++k) {
        EnsureBits(br, ctx.input, kSymbolBits);
        int rs = DecodeSymbol(br, ac);
        if (rs < 0) return kErrHuffmanInvalid;
        int run = rs >> 4;
        int s = rs & 0x0F;
        if (s) {
            k += run;
            if (k > ctx.se) return kErrHuffmanBadCode;
            block[kNaturalOrder[k]] =
                static_cast<int16_t>(Shifted(Extend(GetBits(br, s), s), ctx.al));
        } else if (run == 15) {
            k += 15;
        } else {
            ctx.eob_run = (1 << run) - 1;
            if (run) ctx.eob_run += GetBits(br, run);
            break;
        }
    }
    return kColourOk;
}

namespace {

// Adds a correction bit to a coefficient that is already non-zero.
inline void Refine(BlockContext& ctx, int16_t& coef, int p1) {
    EnsureBits(ctx.bits, ctx.input, 1);
    if (GetBits(ctx.bits, 1) && (coef & p1) == 0)
        coef = static_cast<int16_t>(coef >= 0 ? coef + p1 : coef - p1);
}

}  // namespace

int DecodeAcRefine(BlockContext& ctx, const HuffmanTable& ac, int16_t* block) {
    BitReader& br = ctx.bits;
    const int p1 = 1 << ctx.al;
    int k = ctx.ss;
    if (ctx.eob_run == 0) {
        for (; k <= ctx.se; ++k) {
            EnsureBits(br, ctx.input, kSymbolBits);
            int rs = DecodeSymbol(br, ac);
            if (rs < 0) return kErrHuffmanInvalid;
            int run = rs >> 4;
            int s = rs & 0x0F;
            int value = 0;
            if (s) {
                // Only size 1 is valid; any other size is taken as 1, as its bit says the sign.
                value = GetBits(br, 1) ? p1 : -p1;
            } else if (run != 15) {
                ctx.eob_run = 1 << run;
                if (run) ctx.eob_run += GetBits(br, run);
                break;
            }
            // Skip `run` zero coefficients, refining the non-zero ones passed on the way.
            do {
                int16_t& coef = block[kNaturalOrder[k]];
                if (coef != 0) {
                    Refine(ctx, coef, p1);
                } else {
                    if (--run < 0) break;
                }
                ++k;
            } while (k <= ctx.se);
            if (value) {
                if (k > ctx.se) return kErrHuffmanBadCode;
                block[kNaturalOrder[k]] = static_cast<int16_t>(value);
            }
        }
    }
    if (ctx.eob_run > 0) {
        // The rest of the band lies in an end-of-band run: refine its non-zero coefficients.
        for (; k <= ctx.se; ++k) {
            int16_t& coef = block[kNaturalOrder[k]];
            if (coef != 0) Refine(ctx, coef, p1);
        }
        --ctx.eob_run;
    }
    return kColourOk;
}

}  // namespace pixdoc::jpeg
