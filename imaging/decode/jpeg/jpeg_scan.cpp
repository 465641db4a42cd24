#include "imaging/decode/jpeg/jpeg_scan.h"

#include <cstring>

#include "imaging/decode/colour_error_code.h"
#include "imaging/decode/jpeg/jpeg_blocks.h"

namespace pixdoc::jpeg {
namespace {

constexpr int kRst0 = 0xD0;
constexpr int kRst7 = 0xD7;
constexpr int kEoi = 0xD9;
constexpr int kRestartCycle = 8;

enum class ScanKind { kSequential, kDcFirst, kDcRefine, kAcFirst, kAcRefine };

ScanKind KindOf(const DecoderState& s) {
    if (!s.frame.progressive) return ScanKind::kSequential;
    if (s.scan.ss == 0) return s.scan.ah == 0 ? ScanKind::kDcFirst : ScanKind::kDcRefine;
    return s.scan.ah == 0 ? ScanKind::kAcFirst : ScanKind::kAcRefine;
}

bool TableUsable(const std::array<HuffmanTable, kHuffmanTableCount>& tables, int number) {
    return number < kHuffmanTableCount && tables[number].defined;
}

// A failure inside the entropy-coded data is reported by what follows it: a restart marker
// gives 23, the end of the image or of the data 9.
int Classify(const BitReader& br, int own_error) {
    if (!br.stopped) return own_error;
    if (br.marker >= kRst0 && br.marker <= kRst7) return kErrJpegUnexpectedRestart;
    return kErrUnexpectedEnd;
}

// Expects RSTn with the next number; an EOI ends the data.
int ProcessRestart(DecoderState& s) {
    s.bits.Reset();
    Input& in = s.input;
    while (in.Ensure(2) >= 2 && in.Peek(0) == 0xFF && in.Peek(1) == 0xFF)
        in.Advance(1);
    if (in.available() < 2 || in.Peek(0) != 0xFF) return kErrRestartMissing;
    int code = in.Peek(1);
    if (code == kEoi) {
        s.data_ended = true;
        return kColourOk;
    }
    if (code != kRst0 + s.next_restart) return kErrRestartMissing;
    in.Advance(2);
    s.next_restart = (s.next_restart + 1) % kRestartCycle;
    s.restarts_to_go = s.restart_interval;
    s.eob_run = 0;
    for (int c = 0; c < s.frame.count; ++c)
        s.frame.components[c].dc_predictor = 0;
    return kColourOk;
}

int DecodeBlock(DecoderState& s, ScanKind kind, BlockContext& ctx, Component& comp,
                int16_t* block) {
    switch (kind) {
        case ScanKind::kSequential:
            return DecodeBlockSequential(ctx, s.dc_tables[comp.dc_table],
                                         s.ac_tables[comp.ac_table], comp.dc_predictor, block);
        case ScanKind::kDcFirst:
            return DecodeDcFirst(ctx, s.dc_tables[comp.dc_table], comp.dc_predictor, block);
        case ScanKind::kDcRefine:
            return DecodeDcRefine(ctx, block);
        case ScanKind::kAcFirst:
            return DecodeAcFirst(ctx, s.ac_tables[comp.ac_table], block);
        case ScanKind::kAcRefine:
            return DecodeAcRefine(ctx, s.ac_tables[comp.ac_table], block);
    }
    return kColourOk;
}

// Zeroes the blocks of MCUs first_mcu .. across - 1 of MCU row `my`, as the MCU loop would
// have located them.
void ClearMcus(const DecoderState& s, const BlockLocator& blocks, int my, int first_mcu,
               int across) {
    const bool single = s.scan.count == 1;
    for (int mx = first_mcu; mx < across; ++mx) {
        for (int i = 0; i < s.scan.count; ++i) {
            const int c = s.scan.component[i];
            const Component& comp = s.frame.components[c];
            const int bh = single ? 1 : comp.h;
            const int bv = single ? 1 : comp.v;
            for (int by = 0; by < bv; ++by)
                std::memset(blocks.At(c, mx * bh, my * bv + by), 0,
                            sizeof(int16_t) * kBlockCoefficients * bh);
        }
    }
}

}  // namespace

int StartScan(DecoderState& s) {
    ScanKind kind = KindOf(s);
    bool needs_dc = kind == ScanKind::kSequential || kind == ScanKind::kDcFirst;
    bool needs_ac =
        kind == ScanKind::kSequential || kind == ScanKind::kAcFirst || kind == ScanKind::kAcRefine;
    for (int i = 0; i < s.scan.count; ++i) {
        Component& comp = s.frame.components[s.scan.component[i]];
        if (needs_dc && !TableUsable(s.dc_tables, comp.dc_table)) return kErrHuffmanDcUndefined;
        if (needs_ac && !TableUsable(s.ac_tables, comp.ac_table)) return kErrHuffmanAcUndefined;
        comp.dc_predictor = 0;
    }
    s.bits.Reset();
    s.restarts_to_go = s.restart_interval;
    s.next_restart = 0;
    s.eob_run = 0;
    return kColourOk;
}

int ScanMcuRows(const DecoderState& s) {
    if (s.scan.count == 1) return s.frame.components[s.scan.component[0]].height_in_blocks;
    return s.frame.mcus_down;
}

int DecodeScanRows(DecoderState& s, const BlockLocator& blocks, int first, int count) {
    const ScanKind kind = KindOf(s);
    const bool single = s.scan.count == 1;
    const int across =
        single ? s.frame.components[s.scan.component[0]].width_in_blocks : s.frame.mcus_across;
    BlockContext ctx{s.bits, s.input, s.scan.ss, s.scan.se, s.scan.al, s.eob_run};
    // Sequential scans, the common case, go straight to their tables.
    const bool sequential = kind == ScanKind::kSequential;
    std::array<const HuffmanTable*, kMaxScanComponents> dc{}, ac{};
    if (sequential) {
        for (int i = 0; i < s.scan.count; ++i) {
            const Component& comp = s.frame.components[s.scan.component[i]];
            dc[i] = &s.dc_tables[comp.dc_table];
            ac[i] = &s.ac_tables[comp.ac_table];
        }
    }
    for (int my = first; my < first + count; ++my) {
        for (int mx = 0; mx < across; ++mx) {
            if (s.restart_interval) {
                if (s.restarts_to_go == 0) {
                    if (int e = ProcessRestart(s)) return e;
                }
                --s.restarts_to_go;
            }
            if (s.data_ended) {
                if (blocks.clear_before_decode) ClearMcus(s, blocks, my, mx, across);
                return kColourOk;
            }
            for (int i = 0; i < s.scan.count; ++i) {
                const int c = s.scan.component[i];
                Component& comp = s.frame.components[c];
                const int bh = single ? 1 : comp.h;
                const int bv = single ? 1 : comp.v;
                for (int by = 0; by < bv; ++by) {
                    for (int bx = 0; bx < bh; ++bx) {
                        int16_t* block = blocks.At(c, mx * bh + bx, my * bv + by);
                        if (blocks.clear_before_decode)
                            std::memset(block, 0, sizeof(int16_t) * kBlockCoefficients);
                        const int e = sequential ? DecodeBlockSequential(ctx, *dc[i], *ac[i],
                                                                         comp.dc_predictor, block)
                                                 : DecodeBlock(s, kind, ctx, comp, block);
                        if (e) return Classify(s.bits, e);
                    }
                }
            }
            if (s.bits.Overrun()) return Classify(s.bits, kErrUnexpectedEnd);
        }
    }
    return kColourOk;
}

void EndScan(DecoderState& s) {
    s.bits.Reset();
}

}  // namespace pixdoc::jpeg
