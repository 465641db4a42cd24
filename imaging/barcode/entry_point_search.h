// The searches behind the older single-symbology entry points (PXinSeekBarCode3of9,
// PXinSeekBarCode2of5, ..., Barcode39, Barcode25, ...): each family differs only in its symbology
// mask and in which threshold its threshold argument sets, so its exports are thin wrappers over
// these three searches.
#pragma once

#include <cstdint>

#include "pixdoc32.h"

namespace pixdoc::barcode {

// Results of the single-symbology entry points.
enum EntryResult : int32_t {
    kEntryFound = 0,
    kEntryNoHeader = 1,
    kEntryNotBilevel = 3,
    kEntryNoDecoder = 4,
    kEntryNothingFound = 5,
    kEntryColourPage = 400,  // a colour page where a bilevel one is needed
};

// Results of the whole-page searches (Barcode39 and its kin).
enum PageResult : int32_t {
    kPageFound = 0,
    kPageNoDecoder = 8,
    kPageNothingFound = 32,
};

// What one family searches for.
struct EntrySymbology {
    uint16_t mask;
    bool second_threshold;  // module-measured symbologies take the second threshold
};

// One read of the region, the threshold tried first and then lowered and raised by 1, 2, ... up
// to the retry count; the read-backwards mark of the result's first character moves into the
// status.
int32_t EntrySeekOne(const EntrySymbology& symbology, const char* name, int page, int x1, int y1,
                     int x2, int y2, int threshold, int retries, char* result, int result_size);

// Several reads of the region in the result text form; the retry count is the threshold span.
int32_t EntrySeekSeveral(const EntrySymbology& symbology, const char* name, int page, int x1,
                         int y1, int x2, int y2, int threshold, int retries, int max_results,
                         char* result, int result_size);

// The first read of an opened page's rows at one threshold, into a text of kCandidateCapacity
// bytes; the columns it spans go to start_column and end_column where given.
int32_t EntrySearchPage(const EntrySymbology& symbology, ImageHeader* header, char* text,
                        int threshold, int32_t* start_column, int32_t* end_column);

}  // namespace pixdoc::barcode
