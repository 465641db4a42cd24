#include "app/scanner_parameters.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "operator/fixed_messages.h"

namespace scantora {
namespace {

struct PresetFrame {
    int left, top, right, bottom;  // millimetres
};
constexpr PresetFrame kA4{0, 0, 210, 297};
constexpr PresetFrame kA5{0, 0, 148, 210};
constexpr PresetFrame kDefaultFrame{0, 0, 0, 0};
constexpr int kUnsetFrame = -1;
constexpr int kScanTypes = 3;

bool Holds(const ScannerSettings& s, const PresetFrame& frame) {
    return s.left == frame.left && s.top == frame.top && s.right == frame.right &&
           s.bottom == frame.bottom;
}

bool AllFour(const ScannerSettings& s, int value) {
    return s.left == value && s.top == value && s.right == value && s.bottom == value;
}

// The format's one "%d", filled.
std::string WithNumber(std::string_view format, int value) {
    const std::size_t at = format.find("%d");
    if (at == std::string_view::npos) return std::string(format);
    return std::string(format.substr(0, at)) + std::to_string(value) +
           std::string(format.substr(at + 2));
}

}  // namespace

FramePreset PresetOf(const ScannerSettings& settings) {
    if (Holds(settings, kA4)) return FramePreset::kA4;
    if (Holds(settings, kA5)) return FramePreset::kA5;
    if (AllFour(settings, kUnsetFrame) || AllFour(settings, 0)) return FramePreset::kDefault;
    return FramePreset::kCustom;
}

ScannerParameters::ScannerParameters(const ScannerSettings& settings, ImagingControl* control,
                                     Operator& op)
    : settings_(settings), control_(control), op_(op), preset_(PresetOf(settings)) {}

std::optional<int> ScannerParameters::Position(int value) {
    if (value == kValueNotSet) return std::nullopt;
    return value;
}

void ScannerParameters::ChangeResolution(int dpi, ChangedBy by) {
    dpi = std::clamp(dpi, kResolutionTrack.min, kResolutionTrack.max);
    if (by == ChangedBy::kEdit && dpi == settings_.risoluzione) return;
    settings_.risoluzione = dpi;
    if (!control_) return;
    ScannerValues wanted;
    wanted.resolution = dpi;
    control_->SetScannerValues(wanted);
    const ImagingStatus status = control_->ApplyScannerValues();
    // Without a source there is nothing to ask.
    if (status == ImagingStatus::kNoSource) return;
    if (status != ImagingStatus::kOk) {
        op_.Stop(WithNumber(fixed_message::kTwainError, ToCode(status)));
        return;
    }
    // A source that reports no resolution (a feeder folder) takes any.
    const std::optional<int> taken = control_->ReadScannerValues().resolution;
    if (!taken || *taken == dpi) return;
    op_.Inform(by == ChangedBy::kEdit ? WithNumber(fixed_message::kResolutionTyped, dpi)
                                      : std::string(fixed_message::kResolutionMoved));
}

void ScannerParameters::SetBrightness(int value) {
    settings_.luminosita = std::clamp(value, kBrightnessTrack.min, kBrightnessTrack.max);
}

void ScannerParameters::SetContrast(int value) {
    settings_.contrasto = std::clamp(value, kContrastTrack.min, kContrastTrack.max);
}

int ScannerParameters::ScanType() const {
    return settings_.tipo >= 0 && settings_.tipo < kScanTypes ? settings_.tipo : -1;
}

void ScannerParameters::SetScanType(int type) {
    if (type >= 0 && type < kScanTypes) settings_.tipo = type;
}

void ScannerParameters::ChoosePreset(FramePreset preset) {
    if (preset == preset_) return;
    preset_ = preset;
    // A frame that already shows the preset (the default's -1s too) stays as stored.
    if (preset == FramePreset::kCustom || PresetOf(settings_) == preset) return;
    const PresetFrame& frame = preset == FramePreset::kA4   ? kA4
                               : preset == FramePreset::kA5 ? kA5
                                                            : kDefaultFrame;
    settings_.left = frame.left;
    settings_.top = frame.top;
    settings_.right = frame.right;
    settings_.bottom = frame.bottom;
}

int& ScannerParameters::FrameValue(FrameSide side) {
    switch (side) {
        case FrameSide::kLeft:
            return settings_.left;
        case FrameSide::kTop:
            return settings_.top;
        case FrameSide::kBottom:
            return settings_.bottom;
        case FrameSide::kRight:
            break;
    }
    return settings_.right;
}

int ScannerParameters::Frame(FrameSide side) const {
    return const_cast<ScannerParameters*>(this)->FrameValue(side);
}

void ScannerParameters::SetFrame(FrameSide side, int millimetres) {
    if (FrameEditable()) FrameValue(side) = millimetres;
}

bool ScannerParameters::Save(const std::filesystem::path& path) const {
    return WriteScannerSettings(path, settings_, op_);
}

}  // namespace scantora
