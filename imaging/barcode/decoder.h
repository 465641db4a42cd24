// The contract shared by every symbology decoder of the barcode search.
//
// A decoder reads at most one symbol from one scan line given as a change list, starting at a
// bar start, and reports the symbol's text framed by asterisks ("*" data "*"; Code 128 delivers
// its bare data and the frame adds the asterisks), its start column and its end column. A symbol
// read from right to left is reversed into reading order and bit 7 of its first byte is set.
#pragma once

#include <cstdint>

#include "imaging/barcode/decode_context.h"

namespace pixdoc::barcode {

// Symbology bits of the search mask; each is also the type code of the position suffix.
enum Symbology : uint16_t {
    kCode39 = 1,
    kInterleaved2of5 = 2,
    kCode128 = 4,
    kCodabar = 8,
    kUpcA = 16,
    kEan13 = 32,
    kCode93 = 64,
    kIata2of5 = 128,
    kCode93Type2 = 256,
    kCode39Nude = 512,
    kEan8 = 1024,
};

// 127 characters and the terminator.
inline constexpr int kCandidateCapacity = 128;

// The read-backwards mark on the first byte of a candidate.
inline constexpr unsigned char kReadBackwardsMark = 0x80;

struct Candidate {
    char text[kCandidateCapacity] = {};
    int start_column = 0;  // first column of the symbol's first bar
    int end_column = 0;    // right end, as each symbology defines it
};

// One line as the decoders see it. `changes` points at the entry of a bar start: element widths
// are differences of neighbouring entries (bar, space, bar, ...), and changes[-1] (the previous
// bar's end, or 0) gives the width of the white stretch ahead of the first bar. The list ends
// with at least four copies of `right_edge`; a decoder never reads past them.
struct LineView {
    const int16_t* changes;
    int right_edge;
};

// Reads one symbol. `threshold` is the narrow/wide threshold (or module boundary) in pixels;
// `merge_single_pixels` is the single-pixel merging switch of the retry; `context` carries the
// search's decoder options and the scratch that decoders keep between calls of one search.
// Returns true for a read. The frame relies on two properties: a decoder's result depends only
// on its arguments (the context's options among them; its scratch and shortcuts change no
// result), and merging changes nothing on a line without a one-pixel element.
using DecodeFn = bool (*)(const LineView& line, int threshold, bool merge_single_pixels,
                          DecodeContext& context, Candidate& out);

}  // namespace pixdoc::barcode
