// The scanner parameter dialog's model: the job's scanner settings with the three track bars,
// the image options, the scan type and the scan frame; a changed resolution is tried on the
// dialog's own imaging control, which tells whether the scanner takes it.
#pragma once

#include <filesystem>
#include <optional>

#include "acquisition/scanner/imaging_control.h"
#include "config/scanner_settings.h"
#include "operator/operator.h"

namespace scantora {

struct TrackRange {
    int min;
    int max;
    int page_step;
};
inline constexpr TrackRange kResolutionTrack{1, 1000, 100};
inline constexpr TrackRange kBrightnessTrack{-100, 100, 10};
inline constexpr TrackRange kContrastTrack{-100, 100, 10};

// A stored resolution, brightness or contrast of 999 is not set: its track bar stays where it
// starts.
inline constexpr int kValueNotSet = kScannerValueNotSet;

// The frame presets of the "Size" list, in its order.
enum class FramePreset { kA4, kA5, kDefault, kCustom };
enum class FrameSide { kLeft, kTop, kBottom, kRight };

// The preset a stored frame shows: 0, 0, 210, 297 (left, top, right, bottom) is A4; 0, 0, 148,
// 210 is A5; all four -1 or all four 0 is the default; anything else is custom.
FramePreset PresetOf(const ScannerSettings& settings);

// Where the resolution change came from: the edit reports the value it refuses.
enum class ChangedBy { kTrackBar, kEdit };

class ScannerParameters {
public:
    // `control` (may be null: no check) is the dialog's own; it answers the resolution check.
    ScannerParameters(const ScannerSettings& settings, ImagingControl* control, Operator& op);

    // Where each track bar stands; empty for a value that is not set.
    std::optional<int> ResolutionPosition() const { return Position(settings_.risoluzione); }
    std::optional<int> BrightnessPosition() const { return Position(settings_.luminosita); }
    std::optional<int> ContrastPosition() const { return Position(settings_.contrasto); }

    // Takes a new resolution (an edit's value equal to the current one changes nothing), tries
    // it on the control and tells the operator when the scanner does not take it; the value
    // stays chosen either way.
    void ChangeResolution(int dpi, ChangedBy by);
    void SetBrightness(int value);
    void SetContrast(int value);

    void SetDeskew(bool on) { settings_.deskew = on ? 1 : 0; }
    void SetNegative(bool on) { settings_.invert = on ? 1 : 0; }
    void SetFrontBack(bool on) { settings_.duplex = on ? 1 : 0; }
    // The scan type's radio button (0 to 2); -1 when the setting names none.
    int ScanType() const;
    void SetScanType(int type);

    FramePreset preset() const { return preset_; }
    // A named preset writes its frame (the default: all 0) and locks the fields; "Custom"
    // keeps the frame and opens the fields for input.
    void ChoosePreset(FramePreset preset);
    bool FrameEditable() const { return preset_ == FramePreset::kCustom; }
    int Frame(FrameSide side) const;
    void SetFrame(FrameSide side, int millimetres);

    const ScannerSettings& settings() const { return settings_; }

    // OK: writes the settings file (its own message on failure).
    bool Save(const std::filesystem::path& path) const;

private:
    static std::optional<int> Position(int value);
    int& FrameValue(FrameSide side);

    ScannerSettings settings_;
    ImagingControl* control_;
    Operator& op_;
    FramePreset preset_;
};

}  // namespace scantora
