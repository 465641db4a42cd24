// The scanner values a job's scanner settings ask for, sent by the acquisition loop until the
// scanner's own are known.
#pragma once

#include "acquisition/scanner/imaging_control.h"
#include "config/scanner_settings.h"

namespace scantora {

// RISOLUZIONE (unless not set), TIPO, and the frame LEFT, TOP, RIGHT, BOTTOM (millimetres) when
// it is a real area; brightness and contrast stay the device's until read back, as their scales
// differ.
ScannerValues JobScannerValues(const ScannerSettings& settings);

}  // namespace scantora
