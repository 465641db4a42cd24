// PX_ColorEditSeekBarCode: the barcode search over the colour edit buffer, as a C export.
#include "imaging/barcode/colour_seek.h"
#include "imaging/colour/colour_edit.h"
#include "pixdoc32.h"

PIXDOC_API int32_t PX_ColorEditSeekBarCode(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                           int32_t direction, int32_t mask, int32_t threshold,
                                           int32_t threshold2, int32_t span, int32_t min_length,
                                           int32_t max_results, char* result, int32_t result_size,
                                           int32_t grey_threshold) {
    namespace barcode = pixdoc::barcode;
    const pixdoc::ColourEditState& edit = pixdoc::ColourEdit();
    if (!edit.active) return barcode::kColourNoBuffer;
    barcode::ColourSeekArguments a;
    a.x1 = x1;
    a.y1 = y1;
    a.x2 = x2;
    a.y2 = y2;
    a.direction = direction;
    // The mask is a 16-bit set: a sign-extended short keeps its bits.
    a.frame.mask = static_cast<uint16_t>(mask);
    a.frame.threshold = threshold;
    a.frame.threshold2 = threshold2;
    a.frame.span = span;
    a.frame.min_length = min_length;
    a.frame.max_results = max_results;
    a.result = result;
    a.result_size = result_size;
    a.grey_threshold = grey_threshold;
    const barcode::ColourRaster raster{edit.pixels.data(), edit.width, edit.height};
    barcode::BarcodeModuleState& state = barcode::BarcodeState();
    return barcode::SeekColourRaster(raster, a, barcode::LibrarySeekOptions(),
                                     state.working_resolution, state.status);
}
