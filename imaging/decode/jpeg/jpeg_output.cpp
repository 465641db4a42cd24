#include "imaging/decode/jpeg/jpeg_output.h"

#include <algorithm>
#include <cstring>

#include "imaging/decode/colour_error_code.h"

namespace pixdoc::jpeg {
namespace {

constexpr int kBlockSide = 8;
// The SIMD conversion may write a few bytes past a row's end.
constexpr size_t kOutputSlack = 16;

// Writes one 8 x 8 sample block repeated up_h times across and up_v times down.
void StoreRepeated(const uint8_t* samples, int up_h, int up_v, uint8_t* out, int stride) {
    for (int row = 0; row < kBlockSide; ++row) {
        uint8_t* line = out + row * up_v * stride;
        const uint8_t* in = samples + row * kBlockSide;
        if (up_h == 2) {
            for (int i = 0; i < kBlockSide; ++i)
                line[2 * i] = line[2 * i + 1] = in[i];
        } else {
            for (int i = 0; i < kBlockSide; ++i)
                std::memset(line + i * up_h, in[i], static_cast<size_t>(up_h));
        }
        for (int r = 1; r < up_v; ++r)
            std::memcpy(line + r * stride, line, static_cast<size_t>(kBlockSide * up_h));
    }
}

void TransformComponent(DecoderState& s, const OutputStage& stage, const BlockLocator& blocks,
                        int c, int mcu_row) {
    const Component& comp = s.frame.components[c];
    const QuantTable& quant = s.quant[comp.quant];
    uint8_t* plane = s.planes[c].data();
    const int stride = s.plane_stride;
    // Blocks wholly right of the picture carry nothing that is delivered.
    const int used_across =
        std::min(comp.blocks_across,
                 (s.frame.width + kBlockSide * comp.up_h - 1) / (kBlockSide * comp.up_h));
    const bool direct = c > 0 && stage.chroma_direct;
    uint8_t samples[kBlockSide * kBlockSide];
    for (int by = 0; by < comp.v; ++by) {
        uint8_t* row_out = plane + static_cast<size_t>(by) * kBlockSide * comp.up_v * stride;
        for (int bx = 0; bx < used_across; ++bx) {
            const int16_t* block = blocks.At(c, bx, mcu_row * comp.v + by);
            uint8_t* out = row_out + bx * kBlockSide * comp.up_h;
            if (direct) {
                stage.idct(block, quant, plane + (by * stride + bx) * kBlockSide, stride);
            } else if (comp.up_h == 1 && comp.up_v == 1) {
                stage.idct(block, quant, out, stride);
            } else {
                stage.idct(block, quant, samples, kBlockSide);
                StoreRepeated(samples, comp.up_h, comp.up_v, out, stride);
            }
        }
    }
}

void ConvertRgb(DecoderState& s, const OutputStage& stage, const uint8_t* y, const uint8_t* cb,
                const uint8_t* cr, int chroma_h, uint8_t* out) {
    int done = 0;
#if defined(PIXDOC_JPEG_HAVE_SSE2)
    if (stage.simd_convert)
        done = ConvertRowRgbSse2(kConversionLines, y, cb, cr, chroma_h, s.frame.width, out);
#endif
    ConvertRowRgb(s.conversion, y + done, cb + done / chroma_h, cr + done / chroma_h, chroma_h,
                  s.frame.width - done, out + 3 * done);
}

void ConvertRow(DecoderState& s, const OutputStage& stage, int plane_row, uint8_t* out) {
    const size_t at = static_cast<size_t>(plane_row) * s.plane_stride;
    const uint8_t* y = s.planes[0].data() + at;
    const int width = s.frame.width;
    const bool palette = s.options.output_mode == ColourOutputMode::kPaletteIndex;
    if (stage.components_used == 1) {
        if (palette)
            MapRowGrey(stage.palette, y, width, out);
        else
            std::memcpy(out, y, static_cast<size_t>(width));
        return;
    }
    int chroma_h = 1;
    size_t chroma_at = at;
    if (stage.chroma_direct) {
        chroma_h = stage.chroma_h;
        chroma_at = static_cast<size_t>(plane_row / stage.chroma_v) * s.plane_stride;
    }
    const uint8_t* cb = s.planes[1].data() + chroma_at;
    const uint8_t* cr = s.planes[2].data() + chroma_at;
    if (palette)
        MapRowRgb(s.conversion, stage.palette, y, cb, cr, chroma_h, width, out);
    else
        ConvertRgb(s, stage, y, cb, cr, chroma_h, out);
}

// Two rows sharing one chroma row, converted together so that the chroma terms are computed
// once; false when this path does not apply and the rows go one by one.
bool ConvertRowPair(DecoderState& s, const OutputStage& stage, int plane_row, uint8_t* out,
                    uint8_t* out_second) {
#if defined(PIXDOC_JPEG_HAVE_SSE2)
    if (!stage.simd_convert || stage.components_used != 3 || !stage.chroma_direct ||
        stage.chroma_v != 2 || plane_row % 2 != 0 ||
        s.options.output_mode != ColourOutputMode::kRgb)
        return false;
    const size_t at = static_cast<size_t>(plane_row) * s.plane_stride;
    const size_t chroma_at = static_cast<size_t>(plane_row / 2) * s.plane_stride;
    const uint8_t* y = s.planes[0].data() + at;
    const uint8_t* y_second = y + s.plane_stride;
    const uint8_t* cb = s.planes[1].data() + chroma_at;
    const uint8_t* cr = s.planes[2].data() + chroma_at;
    const int h = stage.chroma_h;
    const int width = s.frame.width;
    const int done =
        ConvertRowsRgbSse2(kConversionLines, y, y_second, cb, cr, h, width, out, out_second);
    ConvertRowRgb(s.conversion, y + done, cb + done / h, cr + done / h, h, width - done,
                  out + 3 * done);
    ConvertRowRgb(s.conversion, y_second + done, cb + done / h, cr + done / h, h, width - done,
                  out_second + 3 * done);
    return true;
#else
    (void)s, (void)stage, (void)plane_row, (void)out, (void)out_second;
    return false;
#endif
}

}  // namespace

int PrepareOutput(DecoderState& s, OutputStage& stage) {
    Frame& f = s.frame;
    for (int c = 0; c < f.count; ++c) {
        Component& comp = f.components[c];
        if (comp.quant >= kQuantTableCount || !s.quant[comp.quant].defined)
            return kErrQuantUndefined;
        // Pixel repetition needs whole-number ratios to the largest sampling factor.
        if (f.h_max % comp.h) return kErrHorizontalScale;
        if (f.v_max % comp.v) return kErrVerticalScale;
        comp.up_h = f.h_max / comp.h;
        comp.up_v = f.v_max / comp.v;
    }
    for (QuantTable& q : s.quant)
        if (q.defined) PrescaleQuantTable(q);
    BuildConversionTables(s.conversion);

    const bool colour = f.count == 3;
    const ColourOutputMode mode = s.options.output_mode;
    stage.components_used = colour && mode != ColourOutputMode::kGrey ? 3 : 1;
    stage.bytes_per_pixel = colour && mode == ColourOutputMode::kRgb ? 3 : 1;
    if (mode == ColourOutputMode::kPaletteIndex) {
        if (!s.options.palette) return kErrNoPalette;
        if (int e = PreparePalette(s.options.palette, s.options.palette_size, f.count, mode,
                                   stage.palette))
            return e;
    }
    const Component* comps = f.components.data();
    stage.chroma_direct = stage.components_used == 3 && comps[0].up_h == 1 && comps[0].up_v == 1 &&
                          comps[1].up_h == comps[2].up_h && comps[1].up_v == comps[2].up_v &&
                          comps[1].up_h <= 2;
    stage.chroma_h = comps[1].up_h;
    stage.chroma_v = comps[1].up_v;
    stage.idct = SelectIdct(s.options.use_simd);
    stage.simd_convert = s.options.use_simd && ProcessorHasSimd();
    stage.window_begin = std::clamp(s.options.first_row, 0, f.height);
    stage.window_end =
        s.options.rows > 0
            ? std::min<int64_t>(int64_t{stage.window_begin} + s.options.rows, f.height)
            : f.height;

    s.plane_stride = f.mcus_across * f.h_max * kBlockSide;
    const size_t plane_size = static_cast<size_t>(s.plane_stride) * f.v_max * kBlockSide;
    for (int c = 0; c < stage.components_used; ++c)
        s.planes[c].assign(plane_size, 0);
    s.output_rows.assign(
        static_cast<size_t>(f.width) * stage.bytes_per_pixel * f.v_max * kBlockSide + kOutputSlack,
        0);
    return kColourOk;
}

bool McuRowInWindow(const DecoderState& s, const OutputStage& stage, int mcu_row) {
    const int top = mcu_row * s.frame.v_max * kBlockSide;
    const int bottom = top + s.frame.v_max * kBlockSide;
    return bottom > stage.window_begin && top < stage.window_end;
}

bool PastWindow(const DecoderState& s, const OutputStage& stage, int mcu_row) {
    return mcu_row * s.frame.v_max * kBlockSide >= stage.window_end;
}

int EmitMcuRow(DecoderState& s, const OutputStage& stage, const BlockLocator& blocks, int mcu_row,
               RowSink& sink) {
    const int rows_per_mcu = s.frame.v_max * kBlockSide;
    const int top = mcu_row * rows_per_mcu;
    const int first = std::max(top, stage.window_begin);
    const int last = std::min(top + rows_per_mcu, stage.window_end);
    if (first >= last) return kColourOk;
    for (int c = 0; c < stage.components_used; ++c)
        TransformComponent(s, stage, blocks, c, mcu_row);
    const size_t row_bytes = static_cast<size_t>(s.frame.width) * stage.bytes_per_pixel;
    uint8_t* rows = s.output_rows.data();
    for (int y = first; y < last; ++y) {
        uint8_t* out = rows + (y - first) * row_bytes;
        if (y + 1 < last && ConvertRowPair(s, stage, y - top, out, out + row_bytes)) {
            ++y;
            continue;
        }
        ConvertRow(s, stage, y - top, out);
    }
    if (sink.DeliverRows(0, first, s.frame.width, last, s.output_rows.data()) != 0)
        return kErrCallback;
    return kColourOk;
}

}  // namespace pixdoc::jpeg
