// Walks the MCUs of the current scan: restart markers, the block decoder of the scan's kind,
// and the classification of decoding failures by the marker that follows them.
#pragma once

#include "imaging/decode/jpeg/jpeg_state.h"

namespace pixdoc::jpeg {

// Where the blocks of each component live: block (x, y) of component c is at
// base[c] + ((y - first_row[c]) * stride[c] + x) * 64.
struct BlockLocator {
    std::array<int16_t*, kMaxComponents> base{};
    std::array<int, kMaxComponents> stride{};
    std::array<int, kMaxComponents> first_row{};
    // Each MCU's blocks are zeroed just before they are decoded (and those of MCUs an early
    // end of the data leaves undecoded), so a reused one-row store needs no clearing pass.
    bool clear_before_decode = false;

    int16_t* At(int c, int x, int y) const {
        return base[c] + (static_cast<size_t>(y - first_row[c]) * stride[c] + x) * 64;
    }
};

// Checks the scan's Huffman tables (26 DC, 27 AC) and resets predictors, restart count and the
// bit reader for a new scan.
int StartScan(DecoderState& state);

// MCU rows of the current scan (block rows for a one-component scan).
int ScanMcuRows(const DecoderState& state);

// Decodes MCU rows first .. first + count - 1 of the current scan into the located blocks.
// An EOI in place of a restart marker sets data_ended and stops without error.
int DecodeScanRows(DecoderState& state, const BlockLocator& blocks, int first, int count);

// Leaves the entropy-coded data: empties the bit reader so that marker dispatch goes on from
// the first byte it did not use.
void EndScan(DecoderState& state);

}  // namespace pixdoc::jpeg
