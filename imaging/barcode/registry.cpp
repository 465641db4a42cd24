#include "imaging/barcode/registry.h"

#include "imaging/barcode/codabar.h"
#include "imaging/barcode/code128.h"
#include "imaging/barcode/code39.h"
#include "imaging/barcode/code93.h"
#include "imaging/barcode/ean_upc.h"
#include "imaging/barcode/two_of_five.h"

namespace pixdoc::barcode {
namespace {

using TG = ThresholdGroup;
using MS = MergeSwitch;

// The order is the order of the per-line step: the first success on a line wins.
constexpr SymbologyEntry kRegistry[] = {
    {kCode39, TG::kFirst, MS::kCode39, &DecodeCode39, false},
    {kCode39Nude, TG::kFirst, MS::kCode39Nude, &DecodeCode39Nude, false},
    {kInterleaved2of5, TG::kFirst, MS::kInterleaved2of5, &DecodeInterleaved2of5, false},
    {kCodabar, TG::kFirst, MS::kCodabar, &DecodeCodabar, false},
    {kCode128, TG::kCode128And93, MS::kCode128, &DecodeCode128, true},
    {kCode93, TG::kCode128And93, MS::kCode93, &DecodeCode93, false},
    {kCode93Type2, TG::kCode128And93, MS::kCode93, &DecodeCode93Type2, false},
    {kUpcA, TG::kUpcEan, MS::kUpcEan, &DecodeUpcA, false},
    {kEan13, TG::kUpcEan, MS::kUpcEan, &DecodeEan13, false},
    {kEan8, TG::kUpcEan, MS::kUpcEan, &DecodeEan8, false},
    {kIata2of5, TG::kFirst, MS::kIata2of5, &DecodeIata2of5, false},
};

constexpr int kRetryMinimumFirst = 6;
constexpr int kRetryMinimumCode128And93 = 22;
constexpr int kRetryMinimumUpcEan = 14;

}  // namespace

std::span<const SymbologyEntry> SymbologyRegistry() {
    return kRegistry;
}

int MinimumRetryThreshold(ThresholdGroup group) {
    switch (group) {
        case ThresholdGroup::kFirst:
            return kRetryMinimumFirst;
        case ThresholdGroup::kCode128And93:
            return kRetryMinimumCode128And93;
        case ThresholdGroup::kUpcEan:
            return kRetryMinimumUpcEan;
    }
    return kRetryMinimumFirst;
}

}  // namespace pixdoc::barcode
