// The older Code 39 entry points: one read with a threshold retry (PXinSeekBarCode3of9[Ex]),
// several reads (PXinSeekBarCode3of9Multiple[Ex]), and the whole-page search Barcode39 over an
// opened header. All are built from the search frame and the Code 39 decoder.
#include <cstring>

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/code39.h"
#include "imaging/barcode/line_scan.h"
#include "imaging/barcode/result_filter.h"
#include "imaging/barcode/scan_paths.h"
#include "imaging/barcode/seek_barcode.h"
#include "imaging/barcode/thresholds.h"
#include "pixdoc32.h"

namespace pixdoc::barcode {
namespace {

// Results of the single-symbology entry points.
enum EntryResult : int32_t {
    kEntryFound = 0,
    kEntryNoHeader = 1,
    kEntryNotBilevel = 3,
    kEntryNoDecoder = 4,
    kEntryNothingFound = 5,
    kEntryColourPage = 400,
};

// Results of Barcode39.
enum PageResult : int32_t {
    kPageFound = 0,
    kPageNoDecoder = 8,
    kPageNothingFound = 32,
};

constexpr int32_t kFirstColourCode = 1024;
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
            return h.compression >= kFirstColourCode ? kEntryColourPage : kEntryNotBilevel;
        }
        default:
            return kEntryNoHeader;
    }
}

SeekArguments Code39Area(const char* name, int page, int x1, int y1, int x2, int y2, char* result,
                         int size) {
    SeekArguments a;
    a.file_name = name;
    a.page = page;
    a.x1 = x1, a.y1 = y1, a.x2 = x2, a.y2 = y2;
    a.mask = kCode39;
    a.result = result;
    a.result_size = size;
    return a;
}

// One read: the first bit 7 cleared into the reversed flag.
void TakeOverMark(char* text) {
    auto first = static_cast<unsigned char>(text[0]);
    BarcodeState().status.reversed = (first & kReadBackwardsMark) != 0;
    text[0] = static_cast<char>(first & ~kReadBackwardsMark);
}

}  // namespace
}  // namespace pixdoc::barcode

using namespace pixdoc::barcode;

PIXDOC_API int32_t PXinSeekBarCode3of9Ex(const char* name, int16_t page, int16_t x1, int16_t y1,
                                         int16_t x2, int16_t y2, int16_t threshold, int16_t retries,
                                         char* result, int16_t result_size) {
    SeekArguments a = Code39Area(name, page, x1, y1, x2, y2, result, result_size);
    a.max_results = 1;
    SeekOptions plain;
    plain.no_single_bits = BarcodeState().options.no_single_bits != 0;
    plain.leave_invert_flag = true;
    // Threshold, then lowered and raised by 1, 2, ... up to the retry count.
    for (int k = 0; k <= 2 * (retries < 0 ? 0 : retries); ++k) {
        a.threshold = threshold + SweepOffset(k);
        if (k > 0 && a.threshold < threshold && a.threshold < kSmallestRetryThreshold) continue;
        int32_t r = SeekBarCodeWith(a, plain);
        if (r == kSeekNothingFound) continue;
        if (r == kSeekFound) TakeOverMark(result);
        return EntryResultOf(r, name, page);
    }
    return kEntryNothingFound;
}

PIXDOC_API int32_t PXinSeekBarCode3of9(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                       int16_t y2, int16_t threshold, int16_t retries, char* result,
                                       int16_t result_size) {
    return PXinSeekBarCode3of9Ex(name, 1, x1, y1, x2, y2, threshold, retries, result, result_size);
}

PIXDOC_API int32_t PXinSeekBarCode3of9MultipleEx(const char* name, int16_t page, int16_t x1,
                                                 int16_t y1, int16_t x2, int16_t y2,
                                                 int16_t threshold, int16_t retries,
                                                 int16_t max_results, char* result,
                                                 int16_t result_size) {
    SeekArguments a = Code39Area(name, page, x1, y1, x2, y2, result, result_size);
    a.threshold = threshold;
    a.span = retries;
    a.max_results = max_results;
    return EntryResultOf(SeekBarCode(a), name, page);
}

PIXDOC_API int32_t PXinSeekBarCode3of9Multiple(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                               int16_t y2, int16_t threshold, int16_t retries,
                                               int16_t max_results, char* result,
                                               int16_t result_size) {
    return PXinSeekBarCode3of9MultipleEx(name, 1, x1, y1, x2, y2, threshold, retries, max_results,
                                         result, result_size);
}

PIXDOC_API int32_t Barcode39(ImageHeader* header, char* text, int32_t threshold,
                             int32_t* start_column, int32_t* end_column) {
    if (header == nullptr || text == nullptr) return kPageNoDecoder;
    StepSettings step;
    step.mask = kCode39;
    step.no_single_bits = true;
    step.thresholds.first = threshold;
    FilterSettings one;
    ResultFilter filter(text, kCandidateCapacity, one);
    BarcodeStatus found;
    LineScanner scanner(step, filter, found, 1);
    SearchArea page = RoundArea(0, 0, 0, 0, header->width, header->height);
    if (ScanPageRows(*header, page, scanner) == PathResult::kNoDecoder) return kPageNoDecoder;
    if (filter.empty()) return kPageNothingFound;
    if (start_column) *start_column = found.start_column;
    if (end_column) *end_column = found.end_column;
    return kPageFound;
}
