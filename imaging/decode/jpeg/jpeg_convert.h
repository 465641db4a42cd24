// JFIF YCbCr to RGB through four 256-entry tables and a 1024-entry range limit, and the
// mapping of decoded pictures onto a palette (a grey ramp or a uniform colour cube).
#pragma once

#include <cstdint>

#include "imaging/decode/jpeg/jpeg_idct.h"
#include "imaging/decode/jpeg/jpeg_state.h"

namespace pixdoc::jpeg {

void BuildConversionTables(ConversionTables& tables);

// The four table lines: entry k of a table is (start + k * step) >> 16.
struct TableLine {
    int32_t start;
    int32_t step;
};
struct ConversionLines {
    TableLine cr_red, cb_blue, cr_green, cb_green;
};
extern const ConversionLines kConversionLines;

// One row of `width` pixels from full-resolution Y and Cb, Cr samples each covering
// `chroma_h` (1 or 2) pixels across, to red, green, blue.
void ConvertRowRgb(const ConversionTables& tables, const uint8_t* y, const uint8_t* cb,
                   const uint8_t* cr, int chroma_h, int width, uint8_t* out);

// The palette the decoder maps onto: a grey ramp or a colour cube of `levels` per channel.
struct PaletteMap {
    bool grey = true;
    int entries = 0;  // grey ramp entries
    int levels = 0;   // colour cube levels per channel
};

// Fills the caller's palette (entries of red, green, blue) for a picture of `components`
// components in `output_mode`; 0 or error 31 when not even a 2-level cube fits.
int PreparePalette(uint8_t* palette, int palette_size, int components, ColourOutputMode output_mode,
                   PaletteMap& map);

#if defined(__x86_64__) || defined(_M_X64)
// The same conversion with SSE2 for the leading pixels of the row; returns how many it
// converted (the rest is for ConvertRowRgb). Writes up to 4 bytes past its last pixel, which
// the caller's row buffer must allow.
int ConvertRowRgbSse2(const ConversionLines& lines, const uint8_t* y, const uint8_t* cb,
                      const uint8_t* cr, int chroma_h, int width, uint8_t* out);
// The same for two luma rows sharing one chroma row (vertical 2:1 chroma), each chroma term
// computed once; `y_second` may be null for one row. Returns the pixels converted in each row.
int ConvertRowsRgbSse2(const ConversionLines& lines, const uint8_t* y, const uint8_t* y_second,
                       const uint8_t* cb, const uint8_t* cr, int chroma_h, int width, uint8_t* out,
                       uint8_t* out_second);
#endif

void MapRowGrey(const PaletteMap& map, const uint8_t* grey, int width, uint8_t* out);
void MapRowRgb(const ConversionTables& tables, const PaletteMap& map, const uint8_t* y,
               const uint8_t* cb, const uint8_t* cr, int chroma_h, int width, uint8_t* out);

}  // namespace pixdoc::jpeg
