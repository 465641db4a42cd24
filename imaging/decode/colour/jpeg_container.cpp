// The JPEG reader's place among the colour containers. Until the JPEG decoder is part of the
// library, JPEG pages are refused with "Unsupported JPEG format.".
#include "imaging/colour/colour_error.h"
#include "imaging/decode/colour/colour_readers.h"

namespace pixdoc {

int ReadJpegContainerHeader(ColourDecoderState& state) {
    return ColourFail(state, kErrJpegUnsupported);
}

int DecodeJpegContainer(ColourDecoderState& state) {
    return ColourFail(state, kErrJpegUnsupported);
}

}  // namespace pixdoc
