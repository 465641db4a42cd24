// Building blocks: conversion tables and range limit, Huffman tables and block decoding, and
// the scalar and SSE2 inverse DCTs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "imaging/colour/colour_error.h"
#include "imaging/decode/jpeg/jpeg_blocks.h"
#include "imaging/decode/jpeg/jpeg_convert.h"
#include "imaging/decode/jpeg/jpeg_idct.h"

namespace {

using namespace pixdoc::jpeg;

TEST(JpegConversion, TablesFollowTheirLinesAndResultsAreClampedToTheByteRange) {
    ConversionTables t;
    BuildConversionTables(t);
    // Each chroma table at chroma 0 and 255.
    EXPECT_EQ((std::vector<int>{t.cr_red[0], t.cr_red[255], t.cb_blue[0], t.cb_blue[255],
                                t.cr_green[0], t.cr_green[255], t.cb_green[0], t.cb_green[255]}),
              (std::vector<int>{-179, 179, -226, 226, 91, -91, 44, -44}));
    // The range limit: identity, then 255 up to 511, then 0 (negative values wrapped).
    EXPECT_EQ((std::vector<int>{t.range_limit[0], t.range_limit[200], t.range_limit[256],
                                t.range_limit[511], t.range_limit[512], t.range_limit[1023]}),
              (std::vector<int>{0, 200, 255, 255, 0, 0}));

    const uint8_t y[3] = {255, 0, 128}, cb[3] = {255, 0, 128}, cr[3] = {255, 0, 128};
    uint8_t out[9];
    ConvertRowRgb(t, y, cb, cr, 1, 3, out);
    // White: 255 + 179 -> 255, green 255 - 44 - 91; black: 0 - 179 -> 0; grey: the tables'
    // half-step start makes neutral chroma add 1 to red and blue.
    EXPECT_EQ(std::vector<uint8_t>(out, out + 9),
              (std::vector<uint8_t>{255, 120, 255, 0, 135, 0, 129, 128, 129}));
}

HuffmanTable OneCodeTable(uint8_t symbol) {
    HuffmanTable t;
    t.counts[1] = 1;
    t.symbols[0] = symbol;
    EXPECT_EQ(BuildHuffmanTable(t), HuffmanBuild::kOk);
    return t;
}

struct BlockRun {
    std::vector<uint8_t> data;
    MemoryByteSource source;
    Input input;
    BitReader bits;
    int eob_run = 0;
    explicit BlockRun(std::vector<uint8_t> bytes)
        : data(std::move(bytes)), source(data.data(), data.size()), input(source) {}
};

TEST(JpegHuffman, LookAheadAndLongCodes) {
    HuffmanTable t;
    t.counts[2] = 1;   // 00
    t.counts[12] = 1;  // 010000000000
    t.symbols[0] = 7;
    t.symbols[1] = 9;
    ASSERT_EQ(BuildHuffmanTable(t), HuffmanBuild::kOk);
    // A code within the 8-bit look-ahead, one longer than it, and bits that are no code.
    BlockRun run({0x10, 0x03, 0xFF, 0x00});  // 00 010000000000 then ones
    run.input.Ensure(4);
    EnsureBits(run.bits, run.input, 32);
    EXPECT_EQ(DecodeSymbol(run.bits, t), 7);
    EXPECT_EQ(DecodeSymbol(run.bits, t), 9);
    EXPECT_EQ(DecodeSymbol(run.bits, t), -1);  // 1111... is no code

    HuffmanTable over;
    over.counts[1] = 3;
    EXPECT_EQ(BuildHuffmanTable(over), HuffmanBuild::kOversubscribed);
}

TEST(JpegBlocks, CoefficientIndexPast63) {
    HuffmanTable dc = OneCodeTable(0), ac = OneCodeTable(0xF1);  // 16 steps per code
    BlockRun run(std::vector<uint8_t>(16, 0x00));
    BlockContext ctx{run.bits, run.input, 0, 63, 0, run.eob_run};
    int16_t block[64] = {};
    int predictor = 0;
    EXPECT_EQ(DecodeBlockSequential(ctx, dc, ac, predictor, block), pixdoc::kErrHuffmanBadCode);
}

TEST(JpegBlocks, DcPredictorStaysInTheCoefficientRange) {
    // DC size 15 with value 32767 in every block: the predictor wraps as the stored value does.
    HuffmanTable dc = OneCodeTable(15), ac = OneCodeTable(0x00);
    // Per block: code 0, fifteen 1 bits, then the AC end-of-block code 0.
    BlockRun run({0x7F, 0xFF, 0x00, 0x3F, 0xFF, 0x00, 0x80, 0x00, 0x00});  // FF stuffed
    BlockContext ctx{run.bits, run.input, 0, 63, 0, run.eob_run};
    int16_t block[64] = {};
    int predictor = 0;
    ASSERT_EQ(DecodeBlockSequential(ctx, dc, ac, predictor, block), 0);
    EXPECT_EQ(predictor, 32767);
    ASSERT_EQ(DecodeBlockSequential(ctx, dc, ac, predictor, block), 0);
    EXPECT_EQ(predictor, -2);
    EXPECT_EQ(block[0], -2);
}

TEST(JpegBlocks, UndefinedCode) {
    HuffmanTable dc = OneCodeTable(0), ac = OneCodeTable(0x00);  // only "0" is a code
    BlockRun run({0x7F, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00});
    BlockContext ctx{run.bits, run.input, 0, 63, 0, run.eob_run};
    int16_t block[64] = {};
    int predictor = 0;
    EXPECT_EQ(DecodeBlockSequential(ctx, dc, ac, predictor, block), pixdoc::kErrHuffmanInvalid);
}

TEST(JpegBlocks, EndOfBandRunSkipsBlocks) {
    // AC first scan: EOBRUN symbol 0x10 (run 1) with one extra bit 1: three blocks in the run.
    HuffmanTable ac = OneCodeTable(0x10);
    BlockRun run({0x40, 0x00, 0x00, 0x00});  // code 0, extra bit 1
    BlockContext ctx{run.bits, run.input, 1, 63, 0, run.eob_run};
    int16_t block[64] = {};
    EXPECT_EQ(DecodeAcFirst(ctx, ac, block), 0);
    EXPECT_EQ(run.eob_run, 2);
    EXPECT_EQ(DecodeAcFirst(ctx, ac, block), 0);
    EXPECT_EQ(DecodeAcFirst(ctx, ac, block), 0);
    EXPECT_EQ(run.eob_run, 0);
    EXPECT_EQ(run.bits.bits, 64 - 2);  // the later blocks read nothing
}

#if defined(PIXDOC_JPEG_HAVE_SSE2)
TEST(JpegIdct, ScalarAndSse2Agree) {
    // The quantisation table of cjpeg at quality 50 and coefficients an 8-bit encoder can give.
    const uint16_t luma[64] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                               58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                               22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                               77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                               103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
    QuantTable q;
    for (int i = 0; i < 64; ++i)
        q.values[i] = luma[i];
    q.defined = true;
    PrescaleQuantTable(q);
    // Blocks of smooth shading plus noise, coded the way an encoder does: DCT, quantisation.
    std::mt19937 random(12345);
    uint8_t a[64], b[64];
    for (int trial = 0; trial < 3000; ++trial) {
        double samples[64];
        const int base = static_cast<int>(random() % 256);
        const int gx = static_cast<int>(random() % 33) - 16,
                  gy = static_cast<int>(random() % 33) - 16;
        const int noise = 1 + static_cast<int>(random() % 64);
        for (int i = 0; i < 64; ++i) {
            int v = base + gx * (i % 8 - 4) + gy * (i / 8 - 4) +
                    static_cast<int>(random() % noise) - noise / 2;
            samples[i] = std::clamp(v, 0, 255) - 128.0;
        }
        int16_t coef[64];
        for (int u = 0; u < 8; ++u)
            for (int v = 0; v < 8; ++v) {
                double sum = 0;
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 8; ++x)
                        sum += samples[y * 8 + x] * std::cos((2 * x + 1) * v * M_PI / 16) *
                               std::cos((2 * y + 1) * u * M_PI / 16);
                double cu = u ? 1 : M_SQRT1_2, cv = v ? 1 : M_SQRT1_2;
                coef[u * 8 + v] =
                    static_cast<int16_t>(std::lround(sum * cu * cv / 4 / luma[u * 8 + v]));
            }
        IdctScalar(coef, q, a, 8);
        IdctSse2(coef, q, b, 8);
        ASSERT_EQ(0, std::memcmp(a, b, 64)) << "trial " << trial;
    }
}
#endif

TEST(JpegIdct, SelectionFallsBackToScalar) {
    EXPECT_EQ(SelectIdct(false), &IdctScalar);
#if defined(PIXDOC_JPEG_HAVE_SSE2)
    EXPECT_EQ(SelectIdct(true), ProcessorHasSimd() ? &IdctSse2 : &IdctScalar);
#endif
}

}  // namespace
