// The JPEG reader of the colour containers: the two calls the colour header probe and the
// colour merge make on a colour decoder state whose source starts at the stream's SOI (a JFIF
// file, or the strip of a colour TIFF page).
#pragma once

#include "imaging/decode/colour/colour_state.h"

namespace pixdoc {

// Fills width, height, bits per pixel (8 for one component, 24 otherwise), component count and
// resolution (the JFIF X density in both resolutions, 0 without one), prepares the state's
// palette when it has one, and leaves the read position where it was. 0, or negative with the
// colour error code set (also kept in the state).
int JpegReadHeader(ColourDecoderState& state);

// Decodes the picture in the state's output mode and window and hands the rows to the line
// callback with (0, first row, width, row after the last, rows), one MCU row per call. 0, or
// negative with the colour error code set; rows delivered before a failure stay delivered.
int JpegDecode(ColourDecoderState& state);

}  // namespace pixdoc
