// The barcode search of a 24-bit raster (the colour edit buffer): each row, or each column, of
// the area turned into a change list by comparing the luminance of its pixels with a grey
// threshold, then searched with the per-line scan, step and result filter of the bilevel
// search.
#pragma once

#include <cstdint>

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/search_frame.h"

namespace pixdoc::barcode {

// Rows of 3 * width bytes from the top, three bytes a pixel.
struct ColourRaster {
    const uint8_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

struct ColourSeekArguments {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // x1 or y1 of -1: the whole raster
    int32_t direction = 0;                   // 0 rows; any other value columns
    FrameArguments frame;
    char* result = nullptr;
    int32_t result_size = 0;
    int32_t grey_threshold = 0;  // luminance at or below which a pixel is black
};

enum ColourSeekResult : int32_t {
    kColourFound = 0,
    kColourNoBuffer = 1,
    kColourBadArea = 2,  // or the mask is 0
    kColourNoMemory = 3,
    kColourNothingFound = 32,
};

// Fewer changes than this on a line leave it unsearched.
inline constexpr int kColourMinimumChanges = 9;
// Change positions are 16-bit: a longer stretch is searched up to this length.
inline constexpr int kColourLongestStretch = INT16_MAX;

// The colour changes of `length` pixels from `first`, `stride` bytes apart: the position of
// each pixel whose colour differs from the one looked for (black first), into `changes` (room
// for `length` entries); returns how many.
int ColourChanges(const uint8_t* first, int64_t stride, int length, int grey_threshold,
                  int16_t* changes);

// Searches `raster` (which exists) with `options`; `working_resolution` gives the defaults of
// both thresholds. The status records every read, and on success its valid flag and reversed
// flag (the marks are cleared in either direction unless the options keep them); a search
// without an accepted read leaves the valid flag as it was.
int32_t SeekColourRaster(const ColourRaster& raster, const ColourSeekArguments& args,
                         const SeekOptions& options, int working_resolution, BarcodeStatus& status);

}  // namespace pixdoc::barcode
