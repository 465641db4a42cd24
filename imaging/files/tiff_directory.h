// The TIFF directory walk: finds a page's image file directory and reads a bilevel page's
// header from it (colour and grey pages are passed on to the colour header probe).
#pragma once

#include <cstdint>

#include "imaging/files/probe_source.h"
#include "pixdoc32.h"

namespace pixdoc::files {

// Entries with a larger count are ignored.
inline constexpr uint32_t kMaxValueCount = 65536;

// Walks from the file header to page (using the page cursor cache when it holds page - 1 of
// this file) and fills header on success. header is untouched on failure.
bool WalkTiffPage(const ProbeSource& source, int32_t page, ImageHeader& header);
// Reads the directory at a given offset, little-endian to begin with (the "TH:" names).
bool ReadTiffDirectoryAt(const ProbeSource& source, uint32_t directory, ImageHeader& header);

}  // namespace pixdoc::files
