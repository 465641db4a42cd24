// PXinSeekBarCode: the general search as a C export (16-bit arguments, as callers pass them).
#include "imaging/barcode/seek_barcode.h"
#include "pixdoc32.h"

PIXDOC_API int32_t PXinSeekBarCode(const char* file_name, int16_t page, int16_t x1, int16_t y1,
                                   int16_t x2, int16_t y2, int16_t direction, int16_t mask,
                                   int16_t threshold, int16_t threshold2, int16_t span,
                                   int16_t min_length, int16_t max_results, char* result,
                                   int16_t result_size) {
    pixdoc::barcode::SeekArguments a;
    a.file_name = file_name;
    a.page = page;
    a.x1 = x1;
    a.y1 = y1;
    a.x2 = x2;
    a.y2 = y2;
    a.direction = direction;
    a.mask = static_cast<uint16_t>(mask);
    a.threshold = threshold;
    a.threshold2 = threshold2;
    a.span = span;
    a.min_length = min_length;
    a.max_results = max_results;
    a.result = result;
    a.result_size = result_size;
    return pixdoc::barcode::SeekBarCode(a);
}
