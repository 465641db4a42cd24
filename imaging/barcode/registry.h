// The symbologies the per-line step tries, in the order it tries them, one row each. A row
// whose decoder is not written yet has a null `decode` and is skipped without error; plugging a
// decoder in is one edit of its row in registry.cpp.
#pragma once

#include <span>

#include "imaging/barcode/decoder.h"

namespace pixdoc::barcode {

// Which threshold of the search a symbology is decoded with.
enum class ThresholdGroup {
    kFirst,         // narrow/wide threshold: Code 39, 2 of 5, Codabar
    kCode128And93,  // second threshold, Code 128 / Code 93 defaults
    kUpcEan,        // second threshold, UPC / EAN defaults
};

// The single-pixel merging switch a decoder's retry turns on. Symbologies in one group share
// one switch (the two Code 93 types; UPC-A, EAN-13 and EAN-8).
enum class MergeSwitch {
    kCode39,
    kCode39Nude,
    kInterleaved2of5,
    kCodabar,
    kCode128,
    kCode93,
    kUpcEan,
    kIata2of5,
};

struct SymbologyEntry {
    Symbology bit;
    ThresholdGroup threshold_group;
    MergeSwitch merge_switch;
    DecodeFn decode;            // null: not available yet, skipped
    bool frame_adds_asterisks;  // the decoder delivers bare data (Code 128)
};

// All rows, in the per-line step's order.
std::span<const SymbologyEntry> SymbologyRegistry();

// The smallest threshold at which the single-pixel retry is made for a group.
int MinimumRetryThreshold(ThresholdGroup group);

}  // namespace pixdoc::barcode
