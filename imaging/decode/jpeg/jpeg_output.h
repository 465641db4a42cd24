// From coefficients to delivered rows: per MCU row, inverse DCT of each block, pixel
// repetition up to full resolution, conversion to the output format and the row sink.
#pragma once

#include "imaging/decode/jpeg/jpeg_convert.h"
#include "imaging/decode/jpeg/jpeg_idct.h"
#include "imaging/decode/jpeg/jpeg_scan.h"
#include "imaging/decode/jpeg/jpeg_state.h"

namespace pixdoc::jpeg {

struct OutputStage {
    IdctFunction idct = IdctScalar;
    PaletteMap palette;
    int window_begin = 0;  // rows delivered: window_begin .. window_end - 1
    int window_end = 0;
    int components_used = 1;  // 1: Y only (grey pictures and grey output), 3: Y, Cb, Cr
    int bytes_per_pixel = 1;
    // Full-resolution luma with Cb and Cr sampled alike at 1 or 1/2 across: the chroma blocks
    // stay at their own resolution and the conversion repeats each chroma sample over
    // chroma_h x chroma_v pixels itself, the same pixels without the copying.
    bool chroma_direct = false;
    int chroma_h = 1, chroma_v = 1;
    bool simd_convert = false;  // SSE2 colour conversion
};

// Checks tables (36) and sampling ratios (39, 40), pre-scales the quantisation tables, builds
// the conversion tables and allocates the planes and output rows.
int PrepareOutput(DecoderState& state, OutputStage& stage);

// True when MCU row `mcu_row` holds rows of the window.
bool McuRowInWindow(const DecoderState& state, const OutputStage& stage, int mcu_row);
// True when no MCU row from `mcu_row` on holds rows of the window.
bool PastWindow(const DecoderState& state, const OutputStage& stage, int mcu_row);

// Transforms, converts and delivers the window's rows of one MCU row; 14 when the sink refuses.
int EmitMcuRow(DecoderState& state, const OutputStage& stage, const BlockLocator& blocks,
               int mcu_row, RowSink& sink);

}  // namespace pixdoc::jpeg
