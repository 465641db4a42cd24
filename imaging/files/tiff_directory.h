// The TIFF directory walk: finds a page's image file directory and reads a bilevel page's
// header from it (colour and grey pages are passed on to the colour header probe).
#pragma once

#include <cstdint>

#include "imaging/files/probe_source.h"
#include "pixdoc32.h"

namespace pixdoc::files {

inline constexpr int32_t kDirectoryBufferSize = 2048;
// Values within this many bytes after the directory offset come from the directory buffer.
inline constexpr int32_t kDirectoryValueWindow = 2040;
inline constexpr int32_t kMinDirectoryBytes = 40;
inline constexpr uint32_t kFirstDirectoryOffset = 8;
inline constexpr uint16_t kTiffVersion = 42;
inline constexpr int32_t kMinEntries = 4;
inline constexpr int32_t kMaxEntries = 80;
// A little-endian entry count above this is re-read big-endian.
inline constexpr uint16_t kByteOrderSwitchCount = 1024;
inline constexpr uint32_t kMaxValueCount = 65536;
inline constexpr int32_t kEntrySize = 12;
inline constexpr int32_t kMultiStripCodeOffset = 256;

// Walks from the file header to page (using the page cursor cache when it holds page - 1 of
// this file) and fills header on success. header is untouched on failure.
bool WalkTiffPage(const ProbeSource& source, int32_t page, ImageHeader& header);
// Reads the directory at a given offset, little-endian to begin with (the "TH:" names).
bool ReadTiffDirectoryAt(const ProbeSource& source, uint32_t directory, ImageHeader& header);

}  // namespace pixdoc::files
