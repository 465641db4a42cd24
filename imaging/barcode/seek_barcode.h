// The general barcode search of a bilevel page (PXinSeekBarCode): argument clamping and
// defaults, the two scan paths, result codes and the read-backwards marks.
#pragma once

#include <cstdint>

#include "imaging/barcode/search_frame.h"

namespace pixdoc::barcode {

struct SeekArguments {
    const char* file_name = nullptr;
    int page = 1;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int direction = 0;  // 0 rows as stored; 1 the page turned a quarter; others rows via a bitmap
    uint16_t mask = 0;
    int threshold = 0;   // first threshold; below 2 the default by x resolution
    int threshold2 = 0;  // second threshold; below 1 the defaults by working resolution
    int span = 0;
    int min_length = 0;
    int max_results = 1;
    char* result = nullptr;
    int result_size = 0;
};

enum SeekResult : int32_t {
    kSeekFound = 0,
    kSeekNoHeader = 1,  // header unreadable or file not opened
    kSeekEmptyMask = 2,
    kSeekNotBilevel = 3,
    kSeekNoDecoder = 4,  // line decoder set-up or memory failed
    kSeekNothingFound = 32,
};

// With the library-wide options.
int32_t SeekBarCode(const SeekArguments& args);
// With the given options, for the single-symbology entry points.
int32_t SeekBarCodeWith(const SeekArguments& args, const SeekOptions& options);

}  // namespace pixdoc::barcode
