#include "imaging/decode/jpeg/jpeg_decoder.h"

#include <memory>
#include <new>

#include "imaging/decode/colour_error_code.h"
#include "imaging/decode/jpeg/jpeg_convert.h"
#include "imaging/decode/jpeg/jpeg_markers.h"
#include "imaging/decode/jpeg/jpeg_output.h"
#include "imaging/decode/jpeg/jpeg_scan.h"

namespace pixdoc::jpeg {
namespace {

constexpr size_t kMinimumStream = 3;

int Fail(int code, int* error) {
    RaiseColourError(code);
    if (error) *error = code;
    return -1;
}

size_t BlocksOf(const Component& comp) {
    return static_cast<size_t>(comp.blocks_across) * comp.blocks_down;
}

// One interleaved scan holding every component: decode, transform and deliver MCU row by MCU
// row, keeping only one MCU row of coefficients.
int DecodeStreaming(DecoderState& s, const OutputStage& stage, RowSink& sink) {
    const Frame& f = s.frame;
    size_t total = 0;
    for (int c = 0; c < f.count; ++c) {
        s.plane_offset[c] = total;
        total += static_cast<size_t>(f.components[c].blocks_across) * f.components[c].v * 64;
    }
    s.coefficients.assign(total, 0);
    BlockLocator blocks;
    for (int c = 0; c < f.count; ++c) {
        blocks.base[c] = s.coefficients.data() + s.plane_offset[c];
        blocks.stride[c] = f.components[c].blocks_across;
    }
    blocks.clear_before_decode = true;
    if (int e = StartScan(s)) return e;
    for (int my = 0; my < f.mcus_down && !PastWindow(s, stage, my); ++my) {
        for (int c = 0; c < f.count; ++c)
            blocks.first_row[c] = my * f.components[c].v;
        if (int e = DecodeScanRows(s, blocks, my, 1)) return e;
        if (McuRowInWindow(s, stage, my)) {
            if (int e = EmitMcuRow(s, stage, blocks, my, sink)) return e;
        }
        if (s.data_ended) break;
    }
    return kColourOk;
}

int AllocateStore(DecoderState& s) {
    const Frame& f = s.frame;
    uint64_t limit = s.options.max_store_bytes ? s.options.max_store_bytes : kDefaultMaxStoreBytes;
    uint64_t total = 0;
    for (int c = 0; c < f.count; ++c) {
        s.plane_offset[c] = static_cast<size_t>(total);
        total += uint64_t{BlocksOf(f.components[c])} * 64;
    }
    if (total * sizeof(int16_t) > limit) return kErrMcuAlloc;
    try {
        s.coefficients.assign(static_cast<size_t>(total), 0);
    } catch (const std::bad_alloc&) {
        return kErrMcuAlloc;
    }
    return kColourOk;
}

// Progressive frames and sequential frames split over several scans: every scan into the
// coefficient store, then the picture out of it.
int DecodeBuffered(DecoderState& s, const OutputStage& stage, RowSink& sink) {
    if (int e = AllocateStore(s)) return e;
    const Frame& f = s.frame;
    BlockLocator blocks;
    for (int c = 0; c < f.count; ++c) {
        blocks.base[c] = s.coefficients.data() + s.plane_offset[c];
        blocks.stride[c] = f.components[c].blocks_across;
    }
    for (;;) {
        if (int e = StartScan(s)) return e;
        if (int e = DecodeScanRows(s, blocks, 0, ScanMcuRows(s))) return e;
        EndScan(s);
        if (s.data_ended) break;
        MarkerEvent event = MarkerEvent::kEndOfImage;
        if (int e = DispatchMarkers(s, false, event)) return e;
        if (event == MarkerEvent::kEndOfImage) break;
    }
    for (int my = 0; my < f.mcus_down && !PastWindow(s, stage, my); ++my) {
        if (!McuRowInWindow(s, stage, my)) continue;
        if (int e = EmitMcuRow(s, stage, blocks, my, sink)) return e;
    }
    return kColourOk;
}

int Decode(DecoderState& s, RowSink& sink) {
    if (!s.input.Restart(0)) return kErrSeek;
    if (s.input.Ensure(kMinimumStream) < kMinimumStream) return kErrRead;
    MarkerEvent event = MarkerEvent::kEndOfImage;
    if (int e = DispatchMarkers(s, false, event)) return e;
    if (event == MarkerEvent::kEndOfImage) return kErrJpegScanBeforeFrame;
    if (s.frame.count != 1 && s.frame.count != 3) return kErrJpegUnsupported;
    OutputStage stage;
    if (int e = PrepareOutput(s, stage)) return e;
    if (!s.frame.progressive && s.scan.count == s.frame.count)
        return DecodeStreaming(s, stage, sink);
    return DecodeBuffered(s, stage, sink);
}

}  // namespace

int ReadJpegHeader(ByteSource& source, const DecodeOptions& options, HeaderInfo& info, int* error) {
    std::unique_ptr<DecoderState> s;
    try {
        s = std::make_unique<DecoderState>(source);
    } catch (const std::bad_alloc&) {
        return Fail(kErrNoMemory, error);
    }
    if (!s->input.Restart(0)) return Fail(kErrSeek, error);
    MarkerEvent event = MarkerEvent::kEndOfImage;
    if (int e = DispatchMarkers(*s, true, event)) return Fail(e, error);
    if (event != MarkerEvent::kFrame) return Fail(kErrJpegScanBeforeFrame, error);
    if (!source.Seek(0)) return Fail(kErrSeek, error);
    const Frame& f = s->frame;
    info.width = f.width;
    info.height = f.height;
    info.components = f.count;
    info.bits_per_pixel = f.count == 1 ? 8 : 24;
    info.resolution = s->resolution;
    info.progressive = f.progressive;
    if (options.palette) {
        PaletteMap map;
        if (int e = PreparePalette(options.palette, options.palette_size, f.count,
                                   options.output_mode, map))
            return Fail(e, error);
        info.palette_entries = map.grey ? map.entries : map.levels * map.levels * map.levels;
    }
    return 0;
}

int DecodeJpeg(ByteSource& source, RowSink& sink, const DecodeOptions& options, int* error) {
    std::unique_ptr<DecoderState> s;
    try {
        s = std::make_unique<DecoderState>(source);
        s->options = options;
        if (int e = Decode(*s, sink)) return Fail(e, error);
    } catch (const std::bad_alloc&) {
        return Fail(kErrNoMemory, error);
    }
    return 0;
}

}  // namespace pixdoc::jpeg
