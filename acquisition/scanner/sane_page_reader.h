// One scanned page out of a SANE device: its frames read and joined into a page image.
#pragma once

#include "acquisition/scanner/imaging_control.h"
#include "acquisition/scanner/sane_device.h"

namespace scantora {

// Reads the page whose first frame the device has just started: one grey or RGB frame, or the
// red, green and blue frames of a three-pass device (starting each after the first). A device
// that does not know the height is read to its end of data; a page cut short keeps its whole
// lines. Parameters out of bounds give kBadFrame; a SANE failure its code.
ImagingStatus ReadSanePage(SaneDevice& device, int resolution, Page& page);

}  // namespace scantora
