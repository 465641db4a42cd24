// CALS type 1 raster files: 128-byte text records followed by Group 4 data at 2048.
#pragma once

#include <cstdint>

#include "imaging/files/probe_source.h"
#include "pixdoc32.h"

namespace pixdoc::files {

inline constexpr int32_t kCalsRecordSize = 128;
inline constexpr int32_t kCalsMaxRecords = 11;
inline constexpr int32_t kCalsDataOffset = 2048;

// Page 1 of a CALS type 1 file; recognised only when it gives a non-zero width. Writes header
// only on success.
bool ProbeCals(const ProbeSource& source, ImageHeader& header);

}  // namespace pixdoc::files
