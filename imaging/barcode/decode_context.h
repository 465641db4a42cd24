// What a decoder needs besides its line and threshold: the options of the search and the
// scratch its walks share within one search. The search owns one context and hands it to every
// decoder call, so that a decoder reads no library-wide state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pixdoc::barcode {

// The options a decoder follows, taken from the library-wide options when a search starts.
struct DecoderOptions {
    int32_t codabar_min_size = 0;      // Codabar minimum character count, 0 for none
    bool code128_no_checksum = false;  // Code 128 reads need no check character
};

// What failed UPC-A and EAN-13 walks proved about the formats tried after them on the same
// entries at the same threshold: UPC-A, EAN-13 and EAN-8 walk alike until a G digit or a
// fourth digit in a row, so a walk that met neither answers for the later formats.
struct UpcEanWalkMemo {
    std::vector<int16_t> entries;  // the walked entries, through the first at the right edge
    int right_edge = -1;
    int threshold = -1;
    bool ean13_fails[2] = {};  // by single-pixel merging switch
    bool ean8_fails[2] = {};
};

// What failed Code 93 walks proved about Code 93 Type 2 on the same entries at the same
// threshold: the two number the shift characters differently but accept the same characters,
// so walks that never reached the check characters fail for both.
struct Code93WalkMemo {
    std::vector<int16_t> entries;  // from the leading zero through the first at the right edge
    size_t bar_start = 0;          // where the walks' bar start lies in `entries`
    int right_edge = -1;
    int threshold = -1;
    bool type2_fails[2] = {};  // by single-pixel merging switch
};

struct DecodeContext {
    DecodeContext() = default;
    explicit DecodeContext(const DecoderOptions& decoder_options) : options(decoder_options) {}

    DecoderOptions options;
    UpcEanWalkMemo upc_ean_memo;
    Code93WalkMemo code93_memo;
    // The quick rejections and memos in front of the decoders' walks. Off, every decoder walks
    // the whole line from its bar start: the tests that show these shortcuts change no read
    // compare both.
    bool shortcuts = true;
};

}  // namespace pixdoc::barcode
