// Decoding one scan line of a bilevel page into a change list, for every coding.
//
// Pure functions over an input buffer with explicit bounds: nothing is read at or beyond
// `limit`, nothing is written beyond ChangeListEntries(width) entries of `current`, and every
// loop ends (each step consumes input or moves along the line; zero bits past the data are no
// valid code).
#pragma once

#include <cstdint>

#include "imaging/decode/bilevel/bit_reader.h"
#include "pixdoc32.h"

namespace pixdoc::bilevel {

// Compression codes of bilevel pages (the low byte of the page's code).
enum Coding : int32_t {
    kGroup3OneD = PX_CODE_GROUP3_1D,
    kGroup4 = PX_CODE_GROUP4,
    kGroup3TwoD = PX_CODE_GROUP3_2D,
    kUncompressed = PX_CODE_UNCOMPRESSED,
    kTwoDNoEol = PX_CODE_GROUP3_2D_NO_EOL,
    kModifiedHuffman = PX_CODE_MODIFIED_HUFFMAN,
    kPcx = PX_CODE_PCX,
    kPackBits = PX_CODE_PACKBITS,
};

inline constexpr int32_t kMultiStrip = PX_CODE_MULTI_STRIP;
inline constexpr int32_t kCodingMask = 0xFF;

bool IsKnownCoding(int32_t code);

// Results of one line.
enum LineResult : int32_t {
    kLineGood = 0,
    kLineEnd = 2,      // the data ends (end of page)
    kLineDamaged = 3,  // the line does not decode to exactly the width
};

// The coded data of a page as the line decoder sees it.
struct LineInput {
    const uint8_t* data = nullptr;
    int32_t size = 0;   // bytes of real data; byte-oriented codings stop here
    int32_t limit = 0;  // size plus the EOL padding behind it; bit-oriented codings stop here
    BitPosition at;     // read position, bit accumulator and bit count, updated in place
};

// Decodes the next line of `code` into `current` against `reference` (the previous line's
// change list, ended by at least four copies of the width). `line` is the number of the line
// (0-based) within its strip; `row_scratch` holds (width + 7) / 8 bytes for the run-length
// codings. Returns a LineResult, or the width (at least 4) for an unknown code. `current` always
// ends with sentinels, also for a damaged line.
int32_t DecodeLine(int32_t code, const int16_t* reference, int16_t* current, int32_t width,
                   int32_t line, LineInput& input, uint8_t* row_scratch);

// The parts, exposed for tests and for the fuzzer.

// One run length of a colour (0 white, 1 black): make-up codes then a terminating code.
// Returns the length, or -1 for a code not in the tables (nothing of it consumed) or a sum
// beyond max_run.
int ReadRunLength(BitReader& bits, int colour, int max_run);
// EOL search: skips fill and anything else up to the next EOL, consumes consecutive EOLs
// (with their tag bits when `tagged`). Returns the last tag bit (1 one-dimensional, 0
// two-dimensional; 1 when untagged), or kLineEnd after six consecutive EOLs or at the end of
// the data.
int32_t FindEol(BitReader& bits, bool tagged);
// One modified Huffman line (alternating white and black runs from white).
int32_t DecodeOneDLine(BitReader& bits, int16_t* current, int32_t width);
// One two-dimensional line (T.4 modes with the uncompressed-mode extension).
int32_t DecodeTwoDLine(BitReader& bits, const int16_t* reference, int16_t* current, int32_t width);
// Run-length rows: expand one row into `row` ((width + 7) / 8 bytes), advancing `position`
// within [position, size). Return kLineGood, or kLineEnd when the data ends first.
int32_t ExpandPcxRow(const uint8_t* data, int32_t size, int32_t& position, uint8_t* row,
                     int32_t width);
int32_t ExpandPackBitsRow(const uint8_t* data, int32_t size, int32_t& position, uint8_t* row,
                          int32_t width);

}  // namespace pixdoc::bilevel
