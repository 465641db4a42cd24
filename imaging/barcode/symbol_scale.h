// The scale of a symbol measured from its own elements: the module (or narrow element) width
// that the start pattern of each symbology fixes, and the decoder thresholds that width gives.
// The adaptive search calls every decoder with these besides the threshold sweep, so that a
// symbol is read at whatever size it was printed and whatever resolution it was scanned at.
#pragma once

#include <cstdint>
#include <span>

#include "imaging/barcode/decoder.h"

namespace pixdoc::barcode {

inline constexpr int kMaxScaleThresholds = 2;

struct SymbolScale {
    double module = 0;  // module width, or narrow element width of a two-width symbology
    double widest = 0;  // the widest element the symbology allows at this scale
    int thresholds[kMaxScaleThresholds] = {};  // to try in order; 0 ends the list
};

// The scale of a symbol of `symbology` whose first elements (bar, space, bar, ...; met from
// either end of the symbol) are `widths`; false when they are too few or do not fit it.
bool EstimateScale(Symbology symbology, std::span<const int> widths, SymbolScale& scale);

// The module EstimateScale gives, alone: false where it fails. Cheaper than the whole scale,
// whose thresholds only the few candidates with room for a symbol need.
bool EstimateModule(Symbology symbology, std::span<const int> widths, double& module);

// A bound the module EstimateScale gives for these widths never falls below, found without
// estimating (0 when it would fail): most candidates on a page of text are refused by their
// quiet zone against it.
double ModuleFloor(Symbology symbology, std::span<const int> widths);

// How many leading elements EstimateScale looks at for `symbology`.
int ScaleElements(Symbology symbology);

// The fewest elements a symbol of `symbology` has (start, one character, stop).
int MinimumSymbolElements(Symbology symbology);

// Whether `symbology` carries no check character, so that one line alone is weak evidence.
bool LacksCheckCharacter(Symbology symbology);

}  // namespace pixdoc::barcode
