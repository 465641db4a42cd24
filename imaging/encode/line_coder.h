// The CCITT codings of one row, from its change list (and the previous row's, for the
// two-dimensional codings), into a bit packer. The code words are the decoder's tables
// (imaging/decode/bilevel/fax_codes.h), so both directions use one set of T.4 tables.
#pragma once

#include <cstdint>

#include "imaging/encode/bit_packer.h"

namespace pixdoc::encode {

// Most bytes one coded row can take: no mode codes more than 7 bits for a pixel (a vertical mode
// per changing pixel; a horizontal mode's two runs of at least one pixel take at most 12 bits),
// plus the first zero-length run, EOLs, fill up to 1040 bits and the padding of the last word.
inline constexpr int32_t kLineOverheadBytes = 256;
constexpr int32_t WorstLineBytes(int32_t width) {
    return width + kLineOverheadBytes;
}

// EOL, and EOL followed by its tag bit (1: a one-dimensional line follows).
void PutEol(BitPacker& out);
void PutTaggedEol(BitPacker& out, int tag);

// Modified Huffman: white and black runs alternately, from white. `changes` is a change list of
// the row (ended by at least one copy of the width).
void CodeOneDLine(const int16_t* changes, int32_t width, BitPacker& out);

// Two-dimensional coding against `reference` (both change lists ended by at least four copies
// of the width): pass, horizontal and vertical modes as T.4 chooses them.
void CodeTwoDLine(const int16_t* reference, const int16_t* changes, int32_t width, BitPacker& out);

// The same row coded two-dimensionally with stretches in uncompressed mode wherever they are
// estimated shorter than the modes they replace. Writes at most WorstLineBytes(width) bytes
// beyond `out`'s position. False (nothing meaningful written) when there was no memory for the
// trial.
bool CodeTwoDLineWithUncompressed(const int16_t* reference, const int16_t* changes, int32_t width,
                                  BitPacker& out);

}  // namespace pixdoc::encode
