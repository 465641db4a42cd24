// The scanner values over a SANE device's standard options: resolution, brightness, contrast,
// the scan frame and the scan mode; the scan source (flatbed, feeder, duplex).
#pragma once

#include "acquisition/scanner/imaging_control.h"
#include "acquisition/scanner/sane_options.h"

namespace scantora {

// Sets the values that are given; a value the device refuses or does not offer is left to the
// device (reading back shows what it holds). Returns the first failure of another kind.
SANE_Status ApplySaneValues(SaneOptions& options, const ScannerValues& values);

// The values as the device reports them.
ScannerValues ReadSaneValues(SaneOptions& options);

// What the device offers for the values, as the options dialog shows it.
ScannerLimits ReadSaneLimits(SaneOptions& options);

// The resolution pages come at: the device's resolution (or x-resolution), 0 unknown.
int SaneResolution(SaneOptions& options);

int SaneDuplexCapability(const SaneOptions& options);

struct SaneSourcePlan {
    bool feeder = false;
    bool duplex = false;
};

// Chooses the source for a batch: the feeder (in its duplex form when `duplex`) when `feeder`
// is asked for and offered, else the flatbed; a device without a source option is a flatbed.
SANE_Status ChooseSaneSource(SaneOptions& options, bool feeder, bool duplex, SaneSourcePlan& plan);

}  // namespace scantora
