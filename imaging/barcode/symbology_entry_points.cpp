// The older single-symbology entry points of interleaved 2 of 5, Code 128, Codabar and EAN/UPC:
// one read with a threshold retry, several reads in the result text form, and the whole-page
// searches Barcode25, Barcode128 and BarcodeEAN over an opened header. All are the shared
// entry-point searches run with one symbology's mask; Code 128 and EAN take the threshold as the
// second threshold.
#include <cstdint>
#include <cstring>
#include <string>

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/decoder.h"
#include "imaging/barcode/entry_point_search.h"
#include "pixdoc32.h"

using namespace pixdoc::barcode;

namespace {

constexpr EntrySymbology kTwoOfFive{kInterleaved2of5, false};
constexpr EntrySymbology kCode128Family{kCode128, true};
constexpr EntrySymbology kCodabarFamily{kCodabar, false};
constexpr EntrySymbology kEanFamily{static_cast<uint16_t>(kEan13 | kEan8), true};
// The whole-page EAN search reads EAN-13 only.
constexpr EntrySymbology kEan13Family{kEan13, true};

}  // namespace

// ---- Interleaved 2 of 5 ----

PIXDOC_API int32_t PXinSeekBarCode2of5Ex(const char* name, int16_t page, int16_t x1, int16_t y1,
                                         int16_t x2, int16_t y2, int16_t threshold, int16_t retries,
                                         char* result, int16_t result_size) {
    return EntrySeekOne(kTwoOfFive, name, page, x1, y1, x2, y2, threshold, retries, result,
                        result_size);
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
    return EntrySeekSeveral(kTwoOfFive, name, page, x1, y1, x2, y2, threshold, retries, max_results,
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
    return EntrySearchPage(kTwoOfFive, header, text, threshold, start_column, end_column);
}

// ---- Code 128 ----

PIXDOC_API int32_t PXinSeekBarCode128Ex(const char* name, int16_t page, int16_t x1, int16_t y1,
                                        int16_t x2, int16_t y2, int16_t threshold, int16_t retries,
                                        char* result, int16_t result_size) {
    return EntrySeekOne(kCode128Family, name, page, x1, y1, x2, y2, threshold, retries, result,
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
    return EntrySeekSeveral(kCode128Family, name, page, x1, y1, x2, y2, threshold, retries,
                            max_results, result, result_size);
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
    return EntrySearchPage(kCode128Family, header, text, threshold, start_column, end_column);
}

// ---- Codabar ----

PIXDOC_API int32_t PXinSeekBarCodabarEx(const char* name, int16_t page, int16_t x1, int16_t y1,
                                        int16_t x2, int16_t y2, int16_t threshold, int16_t retries,
                                        char* result, int16_t result_size) {
    return EntrySeekOne(kCodabarFamily, name, page, x1, y1, x2, y2, threshold, retries, result,
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
    return EntrySeekSeveral(kCodabarFamily, name, page, x1, y1, x2, y2, threshold, retries,
                            max_results, result, result_size);
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
    const int32_t r = EntrySeekOne(kEanFamily, name, page, x1, y1, x2, y2, threshold, retries, text,
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
    return EntrySeekSeveral(kEanFamily, name, page, x1, y1, x2, y2, threshold, retries, max_results,
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
    return EntrySearchPage(kEan13Family, header, text, threshold, start_column, end_column);
}
