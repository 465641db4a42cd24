#include "imaging/barcode/colour_seek.h"

#include <algorithm>
#include <new>
#include <vector>

#include "imaging/barcode/luminance.h"
#include "imaging/barcode/page_grey_threshold.h"

namespace pixdoc::barcode {
namespace {

constexpr int kWholeRaster = -1;
constexpr int kBytesPerPixel = 3;

struct Area {
    int x1, y1, x2, y2;
};

// The whole raster for an x1 or y1 of -1; false for an area that is not inside it.
bool AreaOf(const ColourSeekArguments& a, const ColourRaster& raster, Area& area) {
    if (a.x1 == kWholeRaster || a.y1 == kWholeRaster) {
        area = {0, 0, raster.width, raster.height};
        return true;
    }
    const auto within = [](int v, int limit) { return v >= 0 && v <= limit; };
    if (!within(a.x1, raster.width) || !within(a.x2, raster.width) ||
        !within(a.y1, raster.height) || !within(a.y2, raster.height) || a.x1 >= a.x2 ||
        a.y1 >= a.y2)
        return false;
    area = {a.x1, a.y1, a.x2, a.y2};
    return true;
}

}  // namespace

int ColourChanges(const uint8_t* first, int64_t stride, int length, int grey_threshold,
                  int16_t* changes) {
    int count = 0;
    bool looking_for_black = true;
    const uint8_t* pixel = first;
    for (int i = 0; i < length; ++i, pixel += stride) {
        const bool black = Luminance(pixel) <= grey_threshold;
        if (black != looking_for_black) continue;
        changes[count++] = static_cast<int16_t>(i);
        looking_for_black = !looking_for_black;
    }
    return count;
}

int32_t SeekColourRaster(const ColourRaster& raster, const ColourSeekArguments& args,
                         const SeekOptions& options, int working_resolution,
                         BarcodeStatus& status) {
    Area area{};
    if (!AreaOf(args, raster, area)) return kColourBadArea;
    const FilterSettings filter_settings = FrameFilterSettings(args.frame, options);
    ResultFilter filter(args.result, args.result_size, filter_settings);
    if (args.frame.mask == 0) return kColourBadArea;
    const StepSettings step =
        FrameStepSettings(args.frame, working_resolution, working_resolution, options);

    const bool rows = args.direction == 0;
    // A buffer started with a height below 1 has no rows (and no pixels).
    const int length =
        std::clamp(rows ? area.x2 - area.x1 : area.y2 - area.y1, 0, kColourLongestStretch);
    std::vector<int16_t> list;
    try {
        list.resize(static_cast<size_t>(kChangeListLead + length + kChangeListSentinels));
    } catch (const std::bad_alloc&) {
        return kColourNoMemory;
    }
    list[0] = list[1] = 0;

    DecodeContext context(options.decoder);
    LineScanner scanner(step, context, filter, status, filter_settings.max_results);
    const int64_t row_bytes = int64_t{raster.width} * kBytesPerPixel;
    const int grey_threshold =
        options.adaptive && args.grey_threshold == kDefaultGreyThreshold
            ? PageGreyThreshold(
                  raster.pixels + area.y1 * row_bytes + int64_t{area.x1} * kBytesPerPixel,
                  row_bytes, area.x2 - area.x1, area.y2 - area.y1)
            : args.grey_threshold;
    const int lines = std::max(rows ? area.y2 - area.y1 : area.x2 - area.x1, 0);
    for (int k = 0; k < lines && scanner.Wanted(); ++k) {
        const int line_number = (rows ? area.y1 : area.x1) + k;
        if (!scanner.Searches(line_number)) continue;
        const uint8_t* first =
            rows ? raster.pixels + line_number * row_bytes + int64_t{area.x1} * kBytesPerPixel
                 : raster.pixels + area.y1 * row_bytes + int64_t{line_number} * kBytesPerPixel;
        const int changes = ColourChanges(first, rows ? kBytesPerPixel : row_bytes, length,
                                          grey_threshold, list.data() + kChangeListLead);
        if (changes < kColourMinimumChanges) continue;
        const int count = kChangeListLead + changes;
        std::fill_n(list.begin() + count, kChangeListSentinels, static_cast<int16_t>(length));
        scanner.ScanLine(list.data(), count, length, line_number);
    }
    if (filter.empty()) return kColourNothingFound;
    EndFoundSearch(args.result, filter.length(), options.leave_invert_flag, status);
    return kColourFound;
}

}  // namespace pixdoc::barcode
