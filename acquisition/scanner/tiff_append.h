// Adding a page to a multi-page TIFF without putting the pages already there at risk.
#pragma once

#include <filesystem>

#include "acquisition/scanner/page_pix.h"

namespace scantora {

// Writes `pix` as a new file at `path` (see WriteTiffPage for the coding).
ImagingStatus WriteNewTiff(const std::filesystem::path& path, PIX* pix, int quality);

// Adds `pix` as the last page of the TIFF at `path`, or writes a new file when there is none.
// The new page's bytes go after the end of the file and reach the disk before the last
// directory is linked to them by one pointer write; a failure before that link cuts the file
// back to its old size, and a death before it leaves only unreferenced bytes at the end.
ImagingStatus AppendTiffPage(const std::filesystem::path& path, PIX* pix, int quality);

}  // namespace scantora
