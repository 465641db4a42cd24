#include "imaging/barcode/thresholds.h"

namespace pixdoc::barcode {
namespace {

constexpr int kSmallestGivenFirst = 2;
constexpr int kDefaultFirst = 4;

struct ResolutionDefault {
    int dpi;
    int threshold;
};

// Exact resolutions only; any other resolution takes kDefaultFirst.
constexpr ResolutionDefault kFirstByXResolution[] = {{240, 5}, {300, 7}, {400, 9}};

// Second thresholds by working resolution: the first row whose bound is not exceeded.
struct SecondDefault {
    int up_to_dpi;
    int code128_93;
    int upc_ean;
};

constexpr SecondDefault kSecondByWorkingResolution[] = {
    {200, 30, 18}, {239, 36, 18}, {240, 36, 22}, {299, 45, 22}, {300, 45, 27}, {399, 60, 27},
};
constexpr SecondDefault kSecondAbove = {0, 60, 36};

}  // namespace

int SearchThresholds::For(ThresholdGroup group) const {
    switch (group) {
        case ThresholdGroup::kFirst:
            return first;
        case ThresholdGroup::kCode128And93:
            return code128_93;
        case ThresholdGroup::kUpcEan:
            return upc_ean;
    }
    return first;
}

int FirstThreshold(int requested, int x_resolution) {
    if (requested >= kSmallestGivenFirst) return requested;
    for (const auto& d : kFirstByXResolution)
        if (d.dpi == x_resolution) return d.threshold;
    return kDefaultFirst;
}

void SetSecondThresholds(int requested, int working_resolution, SearchThresholds& t) {
    if (requested >= 1) {
        t.code128_93 = requested;
        t.upc_ean = requested;
        return;
    }
    SecondDefault chosen = kSecondAbove;
    for (const auto& d : kSecondByWorkingResolution) {
        if (working_resolution <= d.up_to_dpi) {
            chosen = d;
            break;
        }
    }
    t.code128_93 = chosen.code128_93;
    t.upc_ean = chosen.upc_ean;
}

}  // namespace pixdoc::barcode
