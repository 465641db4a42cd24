// The scanner options dialog's model: opened by the imaging control before an acquisition in
// the set-up and shown dialog modes, it edits the values the device holds within what the
// device offers. The values it leaves are applied for the acquisition, and the acquisition loop
// carries them on to the next ones of the batch.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "acquisition/scanner/imaging_control.h"

namespace scantora {

// The range of brightness and contrast over every device.
inline constexpr int kToneLimit = 1000;

class ScanOptions {
public:
    ScanOptions(std::string source, ScannerValues values, ScannerLimits limits);

    const std::string& source() const { return source_; }
    const ScannerLimits& limits() const { return limits_; }
    const ScannerValues& values() const { return values_; }

    bool OffersResolution() const;
    // Takes the offered resolution nearest `dpi`.
    void SetResolution(int dpi);
    // Clamped to -1000..1000.
    void SetBrightness(int value);
    void SetContrast(int value);

    bool OffersFrame() const { return limits_.frame_width && limits_.frame_height; }
    // Kept inside the device's scan area.
    void SetFrame(int left, int top, int width, int height);

    // A mode the device does not offer is not taken.
    void SetMode(ColourMode mode);

private:
    std::string source_;
    ScannerValues values_;
    ScannerLimits limits_;
};

}  // namespace scantora
