#include "imaging/barcode/barcode_state.h"

namespace pixdoc::barcode {

BarcodeModuleState& BarcodeState() {
    static BarcodeModuleState state;
    return state;
}

void ResetBarcodeState() {
    BarcodeState() = BarcodeModuleState{};
}

void SetWorkingResolution(int32_t dots_per_inch) {
    BarcodeState().working_resolution = dots_per_inch;
}

}  // namespace pixdoc::barcode
