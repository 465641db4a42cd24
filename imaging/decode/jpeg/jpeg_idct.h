// The AAN (Arai, Agui, Nakajima) fast inverse DCT over pre-scaled quantisation tables: a
// scalar version and an SSE2 version (eight 16-bit lanes) chosen at run time.
//
// The SSE2 version computes in 16-bit lanes, as the pre-scaled tables are laid out for; on
// real pictures it gives the same samples as the scalar one. Only coefficients far outside what
// an 8-bit encoder produces (products beyond 16 bits) can make them differ.
#pragma once

#include <cstdint>

#include "imaging/decode/jpeg/jpeg_state.h"

namespace pixdoc::jpeg {

// Replaces the table's values by (q * round(s(r) * s(c) * 16384) + 2048) >> 12.
void PrescaleQuantTable(QuantTable& table);

// Dequantises and transforms one block (natural order) into 8 rows of 8 samples.
using IdctFunction = void (*)(const int16_t* coefficients, const QuantTable& table, uint8_t* out,
                              int stride);

void IdctScalar(const int16_t* coefficients, const QuantTable& table, uint8_t* out, int stride);
#if defined(__x86_64__) || defined(_M_X64)
#define PIXDOC_JPEG_HAVE_SSE2 1
void IdctSse2(const int16_t* coefficients, const QuantTable& table, uint8_t* out, int stride);
#endif

// Writes the samples of a block whose AC coefficients are all zero (the same for both
// versions).
void FillFlatBlock(int16_t dc, const QuantTable& table, uint8_t* out, int stride);

// Whether the processor has the SIMD instructions; checked once and remembered.
bool ProcessorHasSimd();
// The SIMD version when requested and available, else the scalar one.
IdctFunction SelectIdct(bool request_simd);

}  // namespace pixdoc::jpeg
