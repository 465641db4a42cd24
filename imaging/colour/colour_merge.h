// The two paths of a merge into the colour edit buffer. Both expect a started buffer, a valid
// destination rectangle and the page's header read into edit.merge_header.
#pragma once

#include <cstdint>

#include "imaging/colour/colour_edit.h"

namespace pixdoc {

// Results of PX_ColorEditMergeImageEx.
enum MergeResult : int32_t {
    kMerged = 0,
    kMergeNoBuffer = 1,
    kMergeBadRectangle = 2,
    kMergeNotRecognised = 3,
    kMergeNoMemory = 4,
    kMergeHeaderUnreadable = 5,
    kMergeDecodeFailed = 6,
};

// Colour and grey containers (compression codes from 1024), decoded by the colour readers.
int32_t MergeColourPage(ColourEditState& edit, const char* name, int32_t page,
                        const EditRect& source, const EditRect& destination);

// Bilevel pages, decoded at four times the target size and reduced to 17 grey levels.
int32_t MergeBilevelPage(ColourEditState& edit, const char* name, const EditRect& source,
                         const EditRect& destination);

}  // namespace pixdoc
