#include "app/scan_options.h"

#include <algorithm>
#include <cstdlib>

namespace scantora {
namespace {

int Nearest(const std::vector<int>& offered, int wanted) {
    return *std::min_element(offered.begin(), offered.end(), [wanted](int a, int b) {
        return std::abs(a - wanted) < std::abs(b - wanted);
    });
}

int InRange(int wanted, int low, int high, int step) {
    const int clamped = std::clamp(wanted, low, std::max(low, high));
    if (step <= 0) return clamped;
    const int steps = (clamped - low + step / 2) / step;
    return std::min(low + steps * step, std::max(low, high));
}

}  // namespace

ScanOptions::ScanOptions(std::string source, ScannerValues values, ScannerLimits limits)
    : source_(std::move(source)), values_(std::move(values)), limits_(std::move(limits)) {}

bool ScanOptions::OffersResolution() const {
    return !limits_.resolutions.empty() || (limits_.min_resolution && limits_.max_resolution);
}

void ScanOptions::SetResolution(int dpi) {
    if (!limits_.resolutions.empty())
        values_.resolution = Nearest(limits_.resolutions, dpi);
    else if (limits_.min_resolution && limits_.max_resolution)
        values_.resolution =
            InRange(dpi, *limits_.min_resolution, *limits_.max_resolution, limits_.resolution_step);
}

void ScanOptions::SetBrightness(int value) {
    if (limits_.brightness) values_.brightness = std::clamp(value, -kToneLimit, kToneLimit);
}

void ScanOptions::SetContrast(int value) {
    if (limits_.contrast) values_.contrast = std::clamp(value, -kToneLimit, kToneLimit);
}

void ScanOptions::SetFrame(int left, int top, int width, int height) {
    if (!OffersFrame()) return;
    const int area_width = *limits_.frame_width;
    const int area_height = *limits_.frame_height;
    values_.frame_left = std::clamp(left, 0, area_width);
    values_.frame_top = std::clamp(top, 0, area_height);
    values_.frame_width = std::clamp(width, 0, area_width - *values_.frame_left);
    values_.frame_height = std::clamp(height, 0, area_height - *values_.frame_top);
}

void ScanOptions::SetMode(ColourMode mode) {
    if (std::find(limits_.modes.begin(), limits_.modes.end(), mode) != limits_.modes.end())
        values_.mode = mode;
}

}  // namespace scantora
