// Narrow/wide thresholds of a search: the defaults by resolution and the sweep order.
#pragma once

#include "imaging/barcode/registry.h"

namespace pixdoc::barcode {

struct SearchThresholds {
    int first = 0;       // Code 39, 2 of 5, Codabar
    int code128_93 = 0;  // Code 128 and Code 93
    int upc_ean = 0;     // UPC and EAN
    int span = 0;        // offsets 0, +1, -1, ... +span, -span

    int For(ThresholdGroup group) const;
};

// The first threshold: the caller's value, or below 2 the default by the page's x resolution.
int FirstThreshold(int requested, int x_resolution);

// Both second thresholds: the caller's value for both, or below 1 the defaults by the working
// resolution.
void SetSecondThresholds(int requested, int working_resolution, SearchThresholds& t);

// The k-th offset of the sweep (k from 0 to 2 * span): 0, +1, -1, +2, -2, ...
inline int SweepOffset(int k) {
    return k % 2 == 1 ? (k + 1) / 2 : -(k / 2);
}

}  // namespace pixdoc::barcode
