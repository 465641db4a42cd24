// The colour decoders' error code: one library-wide value that the colour header probe, the
// colour readers and the JPEG decoder set on their first failure. Its message table and exports
// live with the colour edit buffer (imaging/colour/colour_error.h); the code sits here, below
// every decoder that raises it.
#pragma once

#include <cstdint>

namespace pixdoc {

// Codes the readers set; the message table (imaging/colour/colour_error.cpp) has a text for each.
enum ColourError : int32_t {
    kColourOk = 0,
    kErrFileHandle = 1,
    kErrNoMemory = 2,
    kErrSeek = 3,
    kErrRead = 4,
    kErrHeaderId = 5,
    kErrPalette = 6,
    kErrDataOffset = 7,
    kErrDimensions = 8,
    kErrUnexpectedEnd = 9,
    kErrGifCode = 10,
    kErrGifNoImage = 11,
    kErrNullState = 12,
    kErrUnsupportedDepth = 13,
    kErrCallback = 14,
    kErrUnsupportedBits = 15,
    kErrJpegNoFrame = 20,
    kErrJpegScanBeforeFrame = 21,
    kErrJpegUnsupported = 22,
    kErrJpegUnexpectedRestart = 23,
    kErrJpegComponentUndefined = 24,
    kErrHuffmanCount = 25,
    kErrHuffmanDcUndefined = 26,
    kErrHuffmanAcUndefined = 27,
    kErrHuffmanTooMany = 28,
    kErrRestartLost = 29,
    kErrHuffmanTableId = 30,
    kErrPaletteColours = 31,
    kErrQuantLength = 32,
    kErrQuantId = 33,
    kErrHuffmanInvalid = 34,
    kErrHuffmanBadCode = 35,
    kErrQuantUndefined = 36,
    kErrRestartMissing = 37,
    kErrNoPalette = 38,
    kErrHorizontalScale = 39,
    kErrVerticalScale = 40,
    kErrMcuAlloc = 54,
    kErrMcuLocate = 55,
    kErrMcuFree = 56,
    kErrScanParameters = 64,
    kErrTiffByteOrder = 65,
    kErrTiffType = 66,
    kErrNotTiff = 67,
    kErrTiffIfdOffset = 68,
    kErrTiffPointer = 69,
    kErrStripOffsetType = 70,
    kErrTiffUnsupported = 71,
    kErrColourAdd = 72,
    kErrColourMultiply = 73,
};

// The library-wide state of this module: the code left by the last colour run.
struct ColourErrorState {
    int32_t code = kColourOk;
};
ColourErrorState& ColourErrorModule();

// The library-wide code, read and written by the colour readers.
int32_t GetColourError();
void SetColourError(int32_t code);
// Sets the code only when no earlier failure set it: the first failure of a run wins.
void RaiseColourError(int32_t code);

}  // namespace pixdoc
