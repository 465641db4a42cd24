#include "acquisition/job_scanner_values.h"

namespace scantora {

ScannerValues JobScannerValues(const ScannerSettings& settings) {
    ScannerValues values;
    if (settings.risoluzione > 0 && settings.risoluzione != kScannerValueNotSet)
        values.resolution = settings.risoluzione;
    if (settings.tipo >= static_cast<int>(ColourMode::kLineArt) &&
        settings.tipo <= static_cast<int>(ColourMode::kColour))
        values.mode = static_cast<ColourMode>(settings.tipo);
    // The dialog's default frame (all 0, or all -1) leaves the device its own.
    if (settings.left >= 0 && settings.top >= 0 && settings.right > settings.left &&
        settings.bottom > settings.top) {
        values.frame_left = settings.left;
        values.frame_top = settings.top;
        values.frame_width = settings.right - settings.left;
        values.frame_height = settings.bottom - settings.top;
    }
    return values;
}

}  // namespace scantora
