#include "imaging/decode/colour/colour_page.h"

#include <cstring>

namespace pixdoc {
namespace {

// TIFF PhotometricInterpretation of pages whose samples index a colour map.
constexpr int32_t kTiffPaletteColour = 3;

bool Is(const ColourDecoderState& s, const char* name) {
    return std::strcmp(s.container_name, name) == 0;
}

ColourOutputMode ChooseOutputMode(const ColourDecoderState& s) {
    if (s.bits_per_pixel == 24) return ColourOutputMode::kRgb;
    const bool indexed = Is(s, "BMP") || Is(s, "GIF") || Is(s, "PCX") ||
                         (Is(s, "TIFF") && s.photometric == kTiffPaletteColour);
    return indexed ? ColourOutputMode::kPaletteIndex : ColourOutputMode::kGrey;
}

bool StartsAsTiff(ColourDecoderState& s) {
    uint8_t head[3] = {};
    ColourSeek(s, 0);
    const bool tiff =
        ColourRead(s, head, 3) == 3 && ((head[0] == 'I' && head[1] == 'I' && head[2] == '*') ||
                                        (head[0] == 'M' && head[1] == 'M'));
    ColourSeek(s, 0);
    return tiff;
}

void FillGreyRamp(ColourPalette& palette) {
    for (int32_t i = 0; i < kPaletteEntries; ++i)
        std::memset(palette[i], i, 3);
}

}  // namespace

int OpenColourPage(ColourDecoderState& s, int32_t file, int32_t page, intptr_t data_offset,
                   ColourPalette& palette) {
    ResetColourState(s);
    SetColourSourceFile(s, file);
    s.tiff_directory_index = page - 1;
    // A TIFF page is read from its directory, which also holds the tables of a JPEG strip;
    // other containers start at the data offset the header gave.
    if (!StartsAsTiff(s)) s.start_offset = data_offset;
    s.palette = &palette;
    if (RecogniseColourContainer(s) != 0) return -1;
    s.output_mode = ChooseOutputMode(s);
    if (s.output_mode == ColourOutputMode::kGrey && s.palette_entries == 0) FillGreyRamp(palette);
    return 0;
}

bool DeliversInFileOrder(const ColourDecoderState& s) {
    return Is(s, "BMP") || Is(s, "GIF");
}

}  // namespace pixdoc
