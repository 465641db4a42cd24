// Container recognition by the first bytes, and the dispatch of decoding to the reader that
// recognised the container.
#include <cstring>

#include "imaging/decode/colour/colour_readers.h"
#include "imaging/decode/colour_error_code.h"
#include "pixdoc32.h"

namespace pixdoc {
namespace {

constexpr int32_t kMinimumHeaderBytes = 7;
constexpr uint8_t kPcxManufacturer = 0x0A;

bool Is(const char* name, const char* wanted) {
    return std::strcmp(name, wanted) == 0;
}

void StartRun(ColourDecoderState& state) {
    SetColourError(kColourOk);
    state.error_code = kColourOk;
    // Others may have moved the file handle since the last run.
    state.file_offset = -1;
}

}  // namespace

int RecogniseColourContainer(ColourDecoderState& state) {
    StartRun(state);
    uint8_t head[kMinimumHeaderBytes];
    ColourSeek(state, 0);
    if (ColourRead(state, head, kMinimumHeaderBytes) != kMinimumHeaderBytes)
        return ColourFail(state, kErrRead);
    if (head[0] == 'B' && head[1] == 'M') return ReadBmpHeader(state);
    if (std::memcmp(head, "GIF", 3) == 0) return ReadGifHeader(state);
    if (head[0] == kPcxManufacturer) return ReadPcxHeader(state);
    if (head[0] == 0xFF && head[1] == 0xD8) {
        std::strcpy(state.container_name, "JPEG");
        return ReadJpegContainerHeader(state);
    }
    if (std::memcmp(head, "II*", 3) == 0 || std::memcmp(head, "MM", 2) == 0)
        return ReadTiffColourHeader(state);
    return ColourFail(state, kErrHeaderId);
}

int DecodeColourImage(ColourDecoderState& state) {
    StartRun(state);
    const char* name = state.container_name;
    if (state.width < 1 || state.height < 1) return ColourFail(state, kErrDimensions);
    if (state.output_mode == ColourOutputMode::kPaletteIndex && !state.palette &&
        !Is(name, "TIFF") && !Is(name, "JPEG") && state.bits_per_pixel < 24)
        return ColourFail(state, kErrNoPalette);
    if (Is(name, "BMP")) return DecodeBmp(state);
    if (Is(name, "GIF")) return DecodeGif(state);
    if (Is(name, "PCX")) return DecodePcx(state);
    if (Is(name, "TIFF")) return DecodeTiffColour(state);
    if (Is(name, "JPEG")) return DecodeJpegContainer(state);
    return ColourFail(state, kErrHeaderId);
}

int32_t ColourCompressionCode(const ColourDecoderState& state) {
    const char* name = state.container_name;
    if (Is(name, "BMP")) return PX_CODE_BMP;
    if (Is(name, "GIF")) return PX_CODE_GIF;
    if (Is(name, "PCX")) return PX_CODE_COLOUR_PCX;
    if (Is(name, "JPEG")) return state.components == 1 ? PX_CODE_JPEG_GREY : PX_CODE_JPEG_COLOUR;
    if (Is(name, "TIFF")) return PX_CODE_COLOUR_TIFF;
    return 0;
}

}  // namespace pixdoc
