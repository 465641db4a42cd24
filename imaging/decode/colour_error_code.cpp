#include "imaging/decode/colour_error_code.h"

namespace pixdoc {

ColourErrorState& ColourErrorModule() {
    static ColourErrorState state;
    return state;
}

int32_t GetColourError() {
    return ColourErrorModule().code;
}
void SetColourError(int32_t code) {
    ColourErrorModule().code = code;
}
void RaiseColourError(int32_t code) {
    if (ColourErrorModule().code == kColourOk) ColourErrorModule().code = code;
}

}  // namespace pixdoc
