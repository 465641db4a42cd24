// The option setters and the status query: thin exports over the module state.
#include "imaging/barcode/barcode_state.h"
#include "pixdoc32.h"

namespace {

constexpr int32_t kOk = 0;
constexpr int32_t kRefused = 1;
constexpr int32_t kStatusNotValid = 1;

pixdoc::barcode::BarcodeOptions& Options() {
    return pixdoc::barcode::BarcodeState().options;
}

}  // namespace

PIXDOC_API int32_t PXinSeekBarCodeInsertData(int32_t insert_data) {
    Options().insert_data = insert_data;
    return kOk;
}

PIXDOC_API int32_t BarcodeMultipleSetZoneHeight(int32_t zone_height) {
    if (zone_height < 0) return kRefused;
    Options().zone_height = zone_height;
    return kOk;
}

PIXDOC_API int32_t PXinSeekBarCodeNoSingleBits(int32_t no_single_bits) {
    Options().no_single_bits = no_single_bits;
    return kOk;
}

PIXDOC_API int32_t PXinSeekBarCodeLeaveInvertFlag(int32_t leave_invert_flag) {
    Options().leave_invert_flag = leave_invert_flag;
    return kOk;
}

PIXDOC_API int32_t PXinSeekBarCodeSetCodabarMinSize(int32_t minimum) {
    Options().codabar_min_size = minimum;
    return kOk;
}

PIXDOC_API int32_t PXinSeekBarCode128NoCheckSum(int32_t no_checksum) {
    Options().code128_no_checksum = no_checksum;
    return kOk;
}

PIXDOC_API int32_t PXinSeekBarCodeAdaptive(int32_t adaptive) {
    Options().adaptive = adaptive;
    return kOk;
}

PIXDOC_API int32_t PX_GetBarCodeStatus(int32_t* start_column, int32_t* end_column, int32_t* line,
                                       int32_t* reversed, int32_t* threshold) {
    const pixdoc::barcode::BarcodeStatus& s = pixdoc::barcode::BarcodeState().status;
    if (!s.valid) return kStatusNotValid;
    if (start_column) *start_column = s.start_column;
    if (end_column) *end_column = s.end_column;
    if (line) *line = s.line;
    if (reversed) *reversed = s.reversed ? 1 : 0;
    if (threshold) *threshold = s.threshold;
    return kOk;
}
