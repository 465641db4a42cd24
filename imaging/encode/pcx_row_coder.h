// PCX run-length coding of one bitmap row.
#pragma once

#include <cstdint>

#include "imaging/encode/bit_packer.h"

namespace pixdoc::encode {

// Codes the (width + 7) / 8 bytes of `row` (1 black; bits past the width taken as white),
// inverted so that white bits are 1: runs of equal bytes as a count byte 0xC0 + n (1..63) and
// the byte, single bytes below 0xC0 as themselves, others as 0xC1 and the byte. Writes at most
// two bytes per row byte.
void CodePcxRow(const uint8_t* row, int32_t width, BitPacker& out);

}  // namespace pixdoc::encode
