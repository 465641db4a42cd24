// The colour header probe: recognises BMP, GIF, colour PCX, JPEG and colour TIFF containers
// at a start offset through the colour readers and describes the page in the header record.
#pragma once

#include <cstdint>

#include "imaging/files/probe_source.h"
#include "pixdoc32.h"

namespace pixdoc::files {

inline constexpr int32_t kColourProbeBytes = 8192;
inline constexpr int32_t kColourProbeMinBytes = 7;
inline constexpr int32_t kMaxColourHeight = 8192;
inline constexpr int32_t kColourDefaultResolution = 100;

// Fills width, height (capped), compression code 1024..1029, data offset = start, bits per
// pixel (in options), resolutions and, for disk files, a missing data byte count. header is
// written only on success. A TIFF container is read at its directory `tiff_directory` (from 0).
bool ProbeColourHeader(const ProbeSource& source, int64_t start, ImageHeader& header,
                       int32_t tiff_directory = 0);

}  // namespace pixdoc::files
