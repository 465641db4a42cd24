// The older single-symbology entry points of interleaved 2 of 5, Code 128, Codabar and EAN/UPC:
// one read with a threshold retry, several reads in the result text form, and the whole-page
// searches Barcode25, Barcode128 and BarcodeEAN over an opened header. All are the search frame
// run with one symbology's mask; Code 128 and EAN take the threshold as the second threshold.
#include <cstdint>
#include <cstring>
#include <string>

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/line_scan.h"
#include "imaging/barcode/result_filter.h"
#include "imaging/barcode/scan_paths.h"
#include "imaging/barcode/seek_barcode.h"
#include "imaging/barcode/thresholds.h"
#include "pixdoc32.h"

namespace pixdoc::barcode {
namespace {

enum EntryResult : int32_t {
    kEntryFound = 0,
    kEntryNoHeader = 1,
    kEntryNotBilevel = 3,
    kEntryNoDecoder = 4,
    kEntryNothingFound = 5,
    kEntryColourPage = 400,
};

enum PageResult : int32_t {
    kPageFound = 0,
    kPageNoDecoder = 8,
    kPageNothingFound = 32,
};

constexpr int32_t kFirstColourCode = 1024;
constexpr int kSmallestRetryThreshold = 3;

struct Family {
    uint16_t mask;
    bool second_threshold;  // module-measured symbologies take the second threshold
};

constexpr Family kTwoOfFive{kInterleaved2of5, false};
constexpr Family kCode128Family{kCode128, true};
constexpr Family kCodabarFamily{kCodabar, false};
constexpr Family kEanFamily{static_cast<uint16_t>(kEan13 | kEan8), true};

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

SeekArguments Area(const Family& family, const char* name, int page, int x1, int y1, int x2, int y2,
                   int threshold, char* result, int size) {
    SeekArguments a;
    a.file_name = name;
    a.page = page;
    a.x1 = x1, a.y1 = y1, a.x2 = x2, a.y2 = y2;
    a.mask = family.mask;
    (family.second_threshold ? a.threshold2 : a.threshold) = threshold;
    a.result = result;
    a.result_size = size;
    return a;
}

// One read, the threshold tried first and then lowered and raised by 1, 2, ... up to the retry
// count; the read-backwards mark of its first character moves into the status.
int32_t SeekOne(const Family& family, const char* name, int page, int x1, int y1, int x2, int y2,
                int threshold, int retries, char* result, int size) {
    SeekArguments a = Area(family, name, page, x1, y1, x2, y2, threshold, result, size);
    a.max_results = 1;
    SeekOptions plain;
    plain.no_single_bits = BarcodeState().options.no_single_bits != 0;
    plain.leave_invert_flag = true;
    for (int k = 0; k <= 2 * (retries < 0 ? 0 : retries); ++k) {
        const int t = threshold + SweepOffset(k);
        if (k > 0 && t < threshold && t < kSmallestRetryThreshold) continue;
        (family.second_threshold ? a.threshold2 : a.threshold) = t;
        const int32_t r = SeekBarCodeWith(a, plain);
        if (r == kSeekNothingFound) continue;
        if (r == kSeekFound) {
            auto first = static_cast<unsigned char>(result[0]);
            BarcodeState().status.reversed = (first & kReadBackwardsMark) != 0;
            result[0] = static_cast<char>(first & ~kReadBackwardsMark);
        }
        return EntryResultOf(r, name, page);
    }
    return kEntryNothingFound;
}

// Several reads in the result text form; the retry count is the threshold span.
int32_t SeekSeveral(const Family& family, const char* name, int page, int x1, int y1, int x2,
                    int y2, int threshold, int retries, int max_results, char* result, int size) {
    SeekArguments a = Area(family, name, page, x1, y1, x2, y2, threshold, result, size);
    a.span = retries;
    a.max_results = max_results;
    return EntryResultOf(SeekBarCode(a), name, page);
}

// The first read of the page's rows at one threshold, into a 128-byte text.
int32_t SearchPage(uint16_t mask, bool second_threshold, ImageHeader* header, char* text,
                   int threshold, int32_t* start_column, int32_t* end_column) {
    if (header == nullptr || text == nullptr) return kPageNoDecoder;
    StepSettings step;
    step.mask = mask;
    step.no_single_bits = true;
    if (second_threshold) {
        step.thresholds.code128_93 = threshold;
        step.thresholds.upc_ean = threshold;
    } else {
        step.thresholds.first = threshold;
    }
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

}  // namespace
}  // namespace pixdoc::barcode

using namespace pixdoc::barcode;

// ---- Interleaved 2 of 5 ----

PIXDOC_API int32_t PXinSeekBarCode2of5Ex(const char* name, int16_t page, int16_t x1, int16_t y1,
                                         int16_t x2, int16_t y2, int16_t threshold, int16_t retries,
                                         char* result, int16_t result_size) {
    return SeekOne(kTwoOfFive, name, page, x1, y1, x2, y2, threshold, retries, result, result_size);
}

PIXDOC_API int32_t PXinSeekBarCode2of5(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                       int16_t y2, int16_t threshold, int16_t retries, char* result,
                                       int16_t result_size) {
    return PXinSeekBarCode2of5Ex(name, 1, x1, y1, x2, y2, threshold, retries, result, result_size);
}

// An image file held in memory, searched through its "MD:" name (page 1).
PIXDOC_API int32_t PXinSeekBarCode2of5Memory(const void* image, int32_t image_size, int16_t x1,
                                             int16_t y1, int16_t x2, int16_t y2, int16_t threshold,
                                             int16_t retries, char* result, int16_t result_size) {
    if (image == nullptr || image_size <= 0) return kEntryNoHeader;
    const std::string name = "MD:" + std::to_string(reinterpret_cast<uintptr_t>(image)) + "," +
                             std::to_string(image_size);
    return PXinSeekBarCode2of5Ex(name.c_str(), 1, x1, y1, x2, y2, threshold, retries, result,
                                 result_size);
}

PIXDOC_API int32_t PXinSeekBarCode2of5MultipleEx(const char* name, int16_t page, int16_t x1,
                                                 int16_t y1, int16_t x2, int16_t y2,
                                                 int16_t threshold, int16_t retries,
                                                 int16_t max_results, char* result,
                                                 int16_t result_size) {
    return SeekSeveral(kTwoOfFive, name, page, x1, y1, x2, y2, threshold, retries, max_results,
                       result, result_size);
}

PIXDOC_API int32_t PXinSeekBarCode2of5Multiple(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                               int16_t y2, int16_t threshold, int16_t retries,
                                               int16_t max_results, char* result,
                                               int16_t result_size) {
    return PXinSeekBarCode2of5MultipleEx(name, 1, x1, y1, x2, y2, threshold, retries, max_results,
                                         result, result_size);
}

PIXDOC_API int32_t Barcode25(ImageHeader* header, char* text, int32_t threshold,
                             int32_t* start_column, int32_t* end_column) {
    return SearchPage(kInterleaved2of5, false, header, text, threshold, start_column, end_column);
}

// ---- Code 128 ----

PIXDOC_API int32_t PXinSeekBarCode128Ex(const char* name, int16_t page, int16_t x1, int16_t y1,
                                        int16_t x2, int16_t y2, int16_t threshold, int16_t retries,
                                        char* result, int16_t result_size) {
    return SeekOne(kCode128Family, name, page, x1, y1, x2, y2, threshold, retries, result,
                   result_size);
}

PIXDOC_API int32_t PXinSeekBarCode128(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                      int16_t y2, int16_t threshold, int16_t retries, char* result,
                                      int16_t result_size) {
    return PXinSeekBarCode128Ex(name, 1, x1, y1, x2, y2, threshold, retries, result, result_size);
}

PIXDOC_API int32_t PXinSeekBarCode128MultipleEx(const char* name, int16_t page, int16_t x1,
                                                int16_t y1, int16_t x2, int16_t y2,
                                                int16_t threshold, int16_t retries,
                                                int16_t max_results, char* result,
                                                int16_t result_size) {
    return SeekSeveral(kCode128Family, name, page, x1, y1, x2, y2, threshold, retries, max_results,
                       result, result_size);
}

PIXDOC_API int32_t PXinSeekBarCode128Multiple(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                              int16_t y2, int16_t threshold, int16_t retries,
                                              int16_t max_results, char* result,
                                              int16_t result_size) {
    return PXinSeekBarCode128MultipleEx(name, 1, x1, y1, x2, y2, threshold, retries, max_results,
                                        result, result_size);
}

PIXDOC_API int32_t Barcode128(ImageHeader* header, char* text, int32_t threshold,
                              int32_t* start_column, int32_t* end_column) {
    return SearchPage(kCode128, true, header, text, threshold, start_column, end_column);
}

// ---- Codabar ----

PIXDOC_API int32_t PXinSeekBarCodabarEx(const char* name, int16_t page, int16_t x1, int16_t y1,
                                        int16_t x2, int16_t y2, int16_t threshold, int16_t retries,
                                        char* result, int16_t result_size) {
    return SeekOne(kCodabarFamily, name, page, x1, y1, x2, y2, threshold, retries, result,
                   result_size);
}

PIXDOC_API int32_t PXinSeekBarCodabar(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                      int16_t y2, int16_t threshold, int16_t retries, char* result,
                                      int16_t result_size) {
    return PXinSeekBarCodabarEx(name, 1, x1, y1, x2, y2, threshold, retries, result, result_size);
}

PIXDOC_API int32_t PXinSeekBarCodabarMultipleEx(const char* name, int16_t page, int16_t x1,
                                                int16_t y1, int16_t x2, int16_t y2,
                                                int16_t threshold, int16_t retries,
                                                int16_t max_results, char* result,
                                                int16_t result_size) {
    return SeekSeveral(kCodabarFamily, name, page, x1, y1, x2, y2, threshold, retries, max_results,
                       result, result_size);
}

PIXDOC_API int32_t PXinSeekBarCodabarMultiple(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                              int16_t y2, int16_t threshold, int16_t retries,
                                              int16_t max_results, char* result,
                                              int16_t result_size) {
    return PXinSeekBarCodabarMultipleEx(name, 1, x1, y1, x2, y2, threshold, retries, max_results,
                                        result, result_size);
}

// ---- EAN/UPC ----

PIXDOC_API int32_t PXinSeekBarCodeEANEx(const char* name, int16_t page, int16_t x1, int16_t y1,
                                        int16_t x2, int16_t y2, int16_t threshold, int16_t retries,
                                        PixdocEanResult* ean) {
    if (ean == nullptr) return kEntryNothingFound;
    *ean = PixdocEanResult{};
    char text[kCandidateCapacity] = {};
    const int32_t r = SeekOne(kEanFamily, name, page, x1, y1, x2, y2, threshold, retries, text,
                              kCandidateCapacity);
    if (r != kEntryFound) return r;
    // "*" digits "*": the digits alone.
    const size_t length = std::strlen(text);
    const size_t digits = length >= 2 ? length - 2 : 0;
    if (digits >= sizeof(ean->digits)) return kEntryNothingFound;
    std::memcpy(ean->digits, text + 1, digits);
    ean->digits[digits] = '\0';
    const BarcodeStatus& s = BarcodeState().status;
    ean->symbology = s.symbology;
    ean->start_column = s.start_column;
    ean->end_column = s.end_column;
    ean->line = s.line;
    ean->reversed = s.reversed ? 1 : 0;
    ean->threshold = s.threshold;
    return kEntryFound;
}

PIXDOC_API int32_t PXinSeekBarCodeEAN(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                      int16_t y2, int16_t threshold, int16_t retries,
                                      PixdocEanResult* ean) {
    return PXinSeekBarCodeEANEx(name, 1, x1, y1, x2, y2, threshold, retries, ean);
}

PIXDOC_API int32_t PXinSeekBarCodeEANMultipleEx(const char* name, int16_t page, int16_t x1,
                                                int16_t y1, int16_t x2, int16_t y2,
                                                int16_t threshold, int16_t retries,
                                                int16_t max_results, char* result,
                                                int16_t result_size) {
    return SeekSeveral(kEanFamily, name, page, x1, y1, x2, y2, threshold, retries, max_results,
                       result, result_size);
}

PIXDOC_API int32_t PXinSeekBarCodeEANMultiple(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                              int16_t y2, int16_t threshold, int16_t retries,
                                              int16_t max_results, char* result,
                                              int16_t result_size) {
    return PXinSeekBarCodeEANMultipleEx(name, 1, x1, y1, x2, y2, threshold, retries, max_results,
                                        result, result_size);
}

PIXDOC_API int32_t BarcodeEAN(ImageHeader* header, char* text, int32_t threshold,
                              int32_t* start_column, int32_t* end_column) {
    return SearchPage(kEan13, true, header, text, threshold, start_column, end_column);
}
