// The two ways a search walks a page: straight from the line decoder's change lists (rows as
// stored, no bitmap), or through a decoded bitmap of the area (the page turned a quarter, or
// rows by bitmap). Both feed every line to the scanner while it wants results.
#pragma once

#include "imaging/barcode/line_scan.h"
#include "imaging/barcode/search_area.h"
#include "pixdoc32.h"

namespace pixdoc::barcode {

enum class PathResult {
    kScanned,    // ran to its end (or to a damaged line, or until no result was wanted)
    kNoDecoder,  // the line decoder could not be set up, or no memory
};

// `header` is opened and holds the open file handle; `area` is the rounded area.
PathResult ScanPageRows(ImageHeader& header, const SearchArea& area, LineScanner& scanner);
PathResult ScanPageBitmap(ImageHeader& header, const SearchArea& area, bool quarter_turn,
                          LineScanner& scanner);

}  // namespace pixdoc::barcode
