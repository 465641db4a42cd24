// The JPEG reader's place among the colour containers: JFIF files and the JPEG streams of
// colour TIFF strips, read by the JPEG decoder from the state's start offset.
#include "imaging/decode/colour/colour_readers.h"
#include "imaging/decode/colour/jpeg_colour_reader.h"

namespace pixdoc {

int ReadJpegContainerHeader(ColourDecoderState& state) {
    return JpegReadHeader(state);
}

int DecodeJpegContainer(ColourDecoderState& state) {
    return JpegDecode(state);
}

}  // namespace pixdoc
