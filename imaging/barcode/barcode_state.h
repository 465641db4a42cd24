// The barcode module's library-wide state: the search options set by the setter exports, the
// status left by the last search, and the working resolution. One instance, reached through
// BarcodeState(); tests start from a clean state with ResetBarcodeState().
#pragma once

#include <cstdint>

namespace pixdoc::barcode {

// Every option is 0 when the library is loaded; the setters store their argument unchanged.
struct BarcodeOptions {
    int32_t insert_data = 0;          // exactly 1: append the position suffix to every read
    int32_t zone_height = 0;          // above 0: duplicates judged by position, else by text
    int32_t no_single_bits = 0;       // non-zero: never make the single-pixel retry
    int32_t leave_invert_flag = 0;    // non-zero: keep the read-backwards marks in the text
    int32_t codabar_min_size = 0;     // Codabar minimum character count
    int32_t code128_no_checksum = 0;  // non-zero: Code 128 reads need no check character
    int32_t adaptive = 0;             // non-zero: the adaptive search (thresholds from each symbol)
};

// What the last search left behind; `valid` is cleared when a search begins and set when it
// ends with at least one read.
struct BarcodeStatus {
    int32_t start_column = 0;
    int32_t end_column = 0;
    int32_t line = 0;
    int32_t threshold = 0;  // threshold of the last successful decoder call
    int32_t symbology = 0;  // bit value of the symbology of the last successful decoder call
    bool reversed = false;
    bool valid = false;
};

struct BarcodeModuleState {
    BarcodeOptions options;
    BarcodeStatus status;
    // Dots per inch; the colour edit buffer sets 200 when started, printing the printer's
    // resolution. The second thresholds' defaults follow it, not the page.
    int32_t working_resolution = 0;
};

BarcodeModuleState& BarcodeState();

// Back to the state of a freshly loaded library.
void ResetBarcodeState();

// For the colour edit buffer and printing.
void SetWorkingResolution(int32_t dots_per_inch);

}  // namespace pixdoc::barcode
