// The coded input of a page: an input buffer refilled from the page's file in chunks, strip by
// strip for multi-strip pages, bit-reversed for fill order 1, and always followed by EOL codes
// so that data that stops short ends like a terminated page.
#pragma once

#include <cstdint>

#include "imaging/decode/bilevel/line_codings.h"
#include "pixdoc32.h"

namespace pixdoc::bilevel {

// Bytes of EOL codes kept behind the buffered data (eight codes).
inline constexpr int32_t kGuardBytes = 16;

// Buffer size (without the guard) for a page width and refill chunk.
int32_t InputCapacity(int32_t width, int32_t chunk, bool chunk_given);

bool IsMultiStrip(const ImageHeader& h);
const PixdocStripTable* StripTable(const ImageHeader& h);
// Row scratch of (width + 7) / 8 bytes that follows the guard in the input block.
uint8_t* RowScratch(const ImageHeader& h);

// Empties the buffer and reads from the data offset. False when nothing could be read.
bool StartSingleStrip(ImageHeader& h);
// Empties the buffer and reads from the start of `strip`. False for a strip outside the table
// or when nothing could be read.
bool StartStrip(ImageHeader& h, int32_t strip);
// Tops the buffer up so that at least the margin behind the chunk is unread, while data remains.
void Refill(ImageHeader& h);

// The buffered data as the line decoders see it.
LineInput CurrentInput(const ImageHeader& h);
void StoreInput(ImageHeader& h, const LineInput& in);

}  // namespace pixdoc::bilevel
