#include "imaging/barcode/search_frame.h"

#include <algorithm>

#include "imaging/barcode/thresholds.h"

namespace pixdoc::barcode {
namespace {

constexpr int kInsertDataOn = 1;

// Clears bit 7 of every byte; true if any byte had it.
bool ClearReadBackwardsMarks(char* text, int length) {
    bool any = false;
    for (int i = 0; i < length; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c & kReadBackwardsMark) {
            any = true;
            text[i] = static_cast<char>(c & ~kReadBackwardsMark);
        }
    }
    return any;
}

}  // namespace

SeekOptions LibrarySeekOptions() {
    const BarcodeOptions& o = BarcodeState().options;
    SeekOptions options;
    options.insert_data = o.insert_data;
    options.zone_height = o.zone_height;
    options.no_single_bits = o.no_single_bits != 0;
    options.leave_invert_flag = o.leave_invert_flag != 0;
    options.adaptive = o.adaptive != 0;
    options.decoder.codabar_min_size = o.codabar_min_size;
    options.decoder.code128_no_checksum = o.code128_no_checksum != 0;
    return options;
}

FilterSettings FrameFilterSettings(const FrameArguments& args, const SeekOptions& options) {
    FilterSettings filter;
    filter.min_length = std::max(args.min_length, 0);
    filter.max_results = std::clamp(args.max_results, 1, kMaxResults);
    filter.zone_height = options.zone_height;
    filter.insert_data = options.insert_data == kInsertDataOn;
    return filter;
}

StepSettings FrameStepSettings(const FrameArguments& args, int first_default_dpi,
                               int working_resolution, const SeekOptions& options) {
    StepSettings step;
    step.mask = args.mask;
    step.no_single_bits = options.no_single_bits;
    step.adaptive = options.adaptive;
    step.thresholds.first = FirstThreshold(args.threshold, first_default_dpi);
    step.thresholds.span = std::max(args.span, 0);
    SetSecondThresholds(args.threshold2, working_resolution, step.thresholds);
    return step;
}

void EndFoundSearch(char* result, int length, bool keep_marks, BarcodeStatus& status) {
    status.reversed = !keep_marks && ClearReadBackwardsMarks(result, length);
    status.valid = true;
}

}  // namespace pixdoc::barcode
