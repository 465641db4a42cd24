// SANE status codes as the control's results.
#pragma once

#include <sane/sane.h>

#include "acquisition/scanner/imaging_control.h"

namespace scantora {

// Each SANE failure keeps its SANE number (UNSUPPORTED 1 ... ACCESS_DENIED 11); an end of data
// where none may end, or a status SANE does not define, is an I/O error.
ImagingStatus FromSaneStatus(SANE_Status status);

}  // namespace scantora
