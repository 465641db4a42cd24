#include "imaging/barcode/page_grey_threshold.h"

#include <array>

#include "imaging/barcode/luminance.h"

namespace pixdoc::barcode {
namespace {

constexpr int kLevels = 256;
constexpr int kBytesPerPixel = 3;
// Every second pixel of every second row: the histogram's shape is the same at a quarter of
// the cost.
constexpr int kSampleStep = 2;

}  // namespace

int PageGreyThreshold(const uint8_t* first, int64_t row_bytes, int width, int height) {
    std::array<int64_t, kLevels> histogram{};
    int64_t total = 0;
    for (int y = 0; y < height; y += kSampleStep) {
        const uint8_t* row = first + y * row_bytes;
        for (int x = 0; x < width; x += kSampleStep) {
            ++histogram[Luminance(row + int64_t{x} * kBytesPerPixel)];
            ++total;
        }
    }
    if (total == 0) return kDefaultGreyThreshold;

    double sum_all = 0;
    for (int level = 0; level < kLevels; ++level)
        sum_all += static_cast<double>(level) * histogram[level];
    // The level that maximises the variance between the two classes it makes.
    int64_t below = 0;
    double sum_below = 0;
    double best = -1;
    int threshold = kDefaultGreyThreshold;
    for (int level = 0; level < kLevels - 1; ++level) {
        below += histogram[level];
        sum_below += static_cast<double>(level) * histogram[level];
        const int64_t above = total - below;
        if (below == 0 || above == 0) continue;
        const double mean_below = sum_below / below;
        const double mean_above = (sum_all - sum_below) / above;
        const double between = static_cast<double>(below) * static_cast<double>(above) *
                               (mean_above - mean_below) * (mean_above - mean_below);
        if (between > best) {
            best = between;
            threshold = level;
        }
    }
    return threshold;
}

}  // namespace pixdoc::barcode
