// The older Code 39 entry points: one read with a threshold retry (PXinSeekBarCode3of9[Ex]),
// several reads (PXinSeekBarCode3of9Multiple[Ex]), and the whole-page search Barcode39 over an
// opened header. All are the shared entry-point searches run with the Code 39 mask.
#include "imaging/barcode/decoder.h"
#include "imaging/barcode/entry_point_search.h"
#include "pixdoc32.h"

using namespace pixdoc::barcode;

namespace {
constexpr EntrySymbology kCode39Family{kCode39, false};
}  // namespace

PIXDOC_API int32_t PXinSeekBarCode3of9Ex(const char* name, int16_t page, int16_t x1, int16_t y1,
                                         int16_t x2, int16_t y2, int16_t threshold, int16_t retries,
                                         char* result, int16_t result_size) {
    return EntrySeekOne(kCode39Family, name, page, x1, y1, x2, y2, threshold, retries, result,
                        result_size);
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
    return EntrySeekSeveral(kCode39Family, name, page, x1, y1, x2, y2, threshold, retries,
                            max_results, result, result_size);
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
    return EntrySearchPage(kCode39Family, header, text, threshold, start_column, end_column);
}
