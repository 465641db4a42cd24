// The pieces of the search frame that the bilevel search and the colour search share: the
// options a search follows, the settings of its result filter and per-line step made from its
// arguments, and the end of a search that accepted reads.
#pragma once

#include <cstdint>

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/decode_context.h"
#include "imaging/barcode/line_scan.h"
#include "imaging/barcode/result_filter.h"

namespace pixdoc::barcode {

inline constexpr int kMaxResults = 128;

// The library-wide options a search follows.
struct SeekOptions {
    int insert_data = 0;
    int zone_height = 0;
    bool no_single_bits = false;
    bool leave_invert_flag = false;
    bool adaptive = false;
    DecoderOptions decoder;
};

// The library-wide options as they stand now.
SeekOptions LibrarySeekOptions();

// The arguments every search clamps and defaults the same way, as the caller gave them.
struct FrameArguments {
    uint16_t mask = 0;
    int threshold = 0;   // first threshold
    int threshold2 = 0;  // second threshold
    int span = 0;
    int min_length = 0;
    int max_results = 1;
};

// The result filter's settings: a negative minimum length taken as 0, the maximum results
// clamped to 1..128, the zone height and insert-data mode from the options.
FilterSettings FrameFilterSettings(const FrameArguments& args, const SeekOptions& options);

// The per-line step's settings: the first threshold given or below 2 the default by
// `first_default_dpi` (the page's x resolution, or the working resolution for the colour
// buffer), the second thresholds given or by `working_resolution`, a negative span taken as 0.
StepSettings FrameStepSettings(const FrameArguments& args, int first_default_dpi,
                               int working_resolution, const SeekOptions& options);

// The end of a search that accepted reads (`length` bytes of result text): unless `keep_marks`,
// bit 7 is cleared from every byte and the status's reversed flag says whether any had it (else
// the flag is clear); the status becomes valid.
void EndFoundSearch(char* result, int length, bool keep_marks, BarcodeStatus& status);

}  // namespace pixdoc::barcode
