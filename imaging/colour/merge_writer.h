// The merge writer: the line callback of a colour merge. It scales delivered rows by nearest
// neighbour in 1/2048 steps into the destination rectangle of the edit buffer, with fixed-point
// accumulators (no division per pixel).
#pragma once

#include <cstdint>

#include "imaging/colour/colour_edit.h"

namespace pixdoc {

// Prepares edit.writer for a merge: accumulators start at one half.
void StartMergeWriter(ColourEditState& edit);

// The line callback; `user` is the ColourEditState.
int MergeWriterRows(void* user, int32_t first_column, int32_t first_row, int32_t columns,
                    int32_t end_row, const uint8_t* rows);

}  // namespace pixdoc
