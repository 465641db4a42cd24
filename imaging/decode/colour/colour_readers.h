// The container readers behind RecogniseColourContainer() and DecodeColourImage(). Each header
// reader expects the state positioned anywhere and reads from the start offset; each decoder
// expects a state its header reader filled. All return 0, or -1 with the colour error code set.
#pragma once

#include "imaging/decode/colour/colour_state.h"

namespace pixdoc {

int ReadBmpHeader(ColourDecoderState& state);
int DecodeBmp(ColourDecoderState& state);

int ReadGifHeader(ColourDecoderState& state);
int DecodeGif(ColourDecoderState& state);

int ReadPcxHeader(ColourDecoderState& state);
int DecodePcx(ColourDecoderState& state);

int ReadTiffColourHeader(ColourDecoderState& state);
int DecodeTiffColour(ColourDecoderState& state);

// The JPEG reader, also used for JPEG streams inside TIFF strips.
int ReadJpegContainerHeader(ColourDecoderState& state);
int DecodeJpegContainer(ColourDecoderState& state);

}  // namespace pixdoc
