// The line face of the bilevel decoder: a page decoded one scan line at a time into change
// lists, for callers that work on lines (the barcode search) and for the band face.
//
// Use:
//   ImageHeader h = ...;               // filled by OpenImageHeader
//   h.handle = FileOpen(name);         // the caller opens the page's file and closes it after
//   if (LineFaceSetUp(h, 0) != 0) ...  // 0 ok, kSetUpFailed (8): nothing stays allocated
//   while ((r = LineFaceNextLine(h)) == kLineGood || ...) use(h.current_line);
//   BilevelRelease(h);                 // also after a failure or an early stop
//
// A change list holds ascending column positions: first black column, first white column
// after it, and so on, ended by at least four copies of the width. Set-up positions the input at
// the strip holding `first_row` (multi-strip pages) or at the data offset; h.current_source_line
// then tells the number of the next line.
#pragma once

#include <cstdint>

#include "imaging/decode/bilevel/line_codings.h"
#include "pixdoc32.h"

namespace pixdoc::bilevel {

// Decode flag bits.
inline constexpr int32_t kFlagSetUpNeeded = 1 << 0;
inline constexpr int32_t kFlagBudgetGiven = 1 << 5;
inline constexpr int32_t kFlagChunkGiven = 1 << 6;
inline constexpr int32_t kFlagNoFit = 1 << 7;

inline constexpr int32_t kSetUpFailed = 8;
inline constexpr int32_t kDefaultRefillChunk = 8192;
inline constexpr int32_t kMaxRefillChunk = 16384;

// Input buffer, change lists and the input positioned at the first line of the strip that
// holds first_row. Fails (kSetUpFailed) for a bad width or height, a colour compression code
// (above 511), a refill chunk outside 1..16384, a bad strip table, no memory, or no data. An
// unknown bilevel code is accepted: its lines give the width.
int32_t LineFaceSetUp(ImageHeader& h, int32_t first_row);

// Decodes the next line into h.current_line (the lists are exchanged first: h.reference_line
// then holds the previous line). Refills the input and moves to the next strip as needed.
// Returns kLineGood, kLineDamaged (the line was consumed; h.current_line ends with sentinels),
// kLineEnd (no more data or no more lines), or the width for an unknown coding.
int32_t LineFaceNextLine(ImageHeader& h);

// Frees every block the decoder allocated (line face and band face) and clears the pointers.
// Safe to call more than once.
void BilevelRelease(ImageHeader& h);

}  // namespace pixdoc::bilevel
