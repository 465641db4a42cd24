#include "imaging/barcode/entry_point_search.h"

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/line_scan.h"
#include "imaging/barcode/result_filter.h"
#include "imaging/barcode/scan_paths.h"
#include "imaging/barcode/seek_barcode.h"
#include "imaging/barcode/thresholds.h"

namespace pixdoc::barcode {
namespace {

constexpr int kSmallestRetryThreshold = 3;

int32_t EntryResultOf(int32_t seek, const char* name, int page) {
    switch (seek) {
        case kSeekFound:
            return kEntryFound;
        case kSeekNothingFound:
            return kEntryNothingFound;
        case kSeekNoDecoder:
            return kEntryNoDecoder;
        case kSeekNotBilevel: {
            ImageHeader h{};
            OpenImageHeader(0, name, page, &h);
            return h.compression >= PX_CODE_BMP ? kEntryColourPage : kEntryNotBilevel;
        }
        default:
            return kEntryNoHeader;
    }
}

void SetThreshold(const EntrySymbology& symbology, SeekArguments& a, int threshold) {
    (symbology.second_threshold ? a.threshold2 : a.threshold) = threshold;
}

SeekArguments Area(const EntrySymbology& symbology, const char* name, int page, int x1, int y1,
                   int x2, int y2, int threshold, char* result, int result_size) {
    SeekArguments a;
    a.file_name = name;
    a.page = page;
    a.x1 = x1, a.y1 = y1, a.x2 = x2, a.y2 = y2;
    a.mask = symbology.mask;
    SetThreshold(symbology, a, threshold);
    a.result = result;
    a.result_size = result_size;
    return a;
}

// One read: the first bit 7 cleared into the reversed flag.
void TakeOverMark(char* text) {
    auto first = static_cast<unsigned char>(text[0]);
    BarcodeState().status.reversed = (first & kReadBackwardsMark) != 0;
    text[0] = static_cast<char>(first & ~kReadBackwardsMark);
}

}  // namespace

int32_t EntrySeekOne(const EntrySymbology& symbology, const char* name, int page, int x1, int y1,
                     int x2, int y2, int threshold, int retries, char* result, int result_size) {
    SeekArguments a = Area(symbology, name, page, x1, y1, x2, y2, threshold, result, result_size);
    a.max_results = 1;
    SeekOptions plain;
    const SeekOptions library = LibrarySeekOptions();
    plain.no_single_bits = library.no_single_bits;
    plain.leave_invert_flag = true;
    plain.decoder = library.decoder;
    for (int k = 0; k <= 2 * (retries < 0 ? 0 : retries); ++k) {
        const int t = threshold + SweepOffset(k);
        if (k > 0 && t < threshold && t < kSmallestRetryThreshold) continue;
        SetThreshold(symbology, a, t);
        const int32_t r = SeekBarCodeWith(a, plain);
        if (r == kSeekNothingFound) continue;
        if (r == kSeekFound) TakeOverMark(result);
        return EntryResultOf(r, name, page);
    }
    return kEntryNothingFound;
}

int32_t EntrySeekSeveral(const EntrySymbology& symbology, const char* name, int page, int x1,
                         int y1, int x2, int y2, int threshold, int retries, int max_results,
                         char* result, int result_size) {
    SeekArguments a = Area(symbology, name, page, x1, y1, x2, y2, threshold, result, result_size);
    a.span = retries;
    a.max_results = max_results;
    return EntryResultOf(SeekBarCode(a), name, page);
}

int32_t EntrySearchPage(const EntrySymbology& symbology, ImageHeader* header, char* text,
                        int threshold, int32_t* start_column, int32_t* end_column) {
    if (header == nullptr || text == nullptr) return kPageNoDecoder;
    StepSettings step;
    step.mask = symbology.mask;
    step.no_single_bits = true;
    if (symbology.second_threshold) {
        step.thresholds.code128_93 = threshold;
        step.thresholds.upc_ean = threshold;
    } else {
        step.thresholds.first = threshold;
    }
    FilterSettings one;
    ResultFilter filter(text, kCandidateCapacity, one);
    BarcodeStatus found;
    DecodeContext context{LibrarySeekOptions().decoder};
    LineScanner scanner(step, context, filter, found, 1);
    SearchArea page = RoundArea(0, 0, 0, 0, header->width, header->height);
    if (ScanPageRows(*header, page, scanner) == PathResult::kNoDecoder) return kPageNoDecoder;
    if (filter.empty()) return kPageNothingFound;
    if (start_column) *start_column = found.start_column;
    if (end_column) *end_column = found.end_column;
    return kPageFound;
}

}  // namespace pixdoc::barcode
