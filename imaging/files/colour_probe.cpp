#include "imaging/files/colour_probe.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "imaging/decode/colour/colour_state.h"

namespace pixdoc::files {
namespace {

// What a colour reader tells about a recognised container.
struct ColourFacts {
    int32_t width = 0;
    int32_t height = 0;
    int32_t compression = 0;
    int32_t bits_per_pixel = 0;
    int32_t x_resolution = 0;  // 0: the container gives none
    int32_t y_resolution = 0;
};

bool StartsWith(const uint8_t* bytes, const char* magic) {
    return std::memcmp(bytes, magic, std::strlen(magic)) == 0;
}

// The containers the colour readers know, by their first bytes.
bool LooksLikeColourContainer(const uint8_t* b) {
    return StartsWith(b, "BM") || StartsWith(b, "GIF") || b[0] == 0x0A ||
           (b[0] == 0xFF && b[1] == 0xD8) || StartsWith(b, "II*") || StartsWith(b, "MM");
}

// Parses the container header through the colour readers.
bool RecogniseContainer(const ProbeSource& source, int64_t start, int32_t tiff_directory,
                        ColourFacts& facts) {
    auto state = std::make_unique<ColourDecoderState>();
    SetColourSourceFile(*state, source.handle);
    state->start_offset = start;
    state->tiff_directory_index = tiff_directory;
    ColourSeek(*state, 0);
    if (RecogniseColourContainer(*state) != 0) return false;
    facts.width = state->width;
    facts.height = state->height;
    facts.compression = ColourCompressionCode(*state);
    facts.bits_per_pixel = state->bits_per_pixel;
    facts.x_resolution = state->x_resolution;
    facts.y_resolution = state->y_resolution;
    return facts.compression != 0;
}

}  // namespace

bool ProbeColourHeader(const ProbeSource& source, int64_t start, ImageHeader& header,
                       int32_t tiff_directory) {
    std::vector<uint8_t> head(kColourProbeBytes);
    if (ReadAt(source, start, head.data(), kColourProbeBytes) < kColourProbeMinBytes) return false;
    if (!LooksLikeColourContainer(head.data())) return false;
    ColourFacts facts;
    if (!RecogniseContainer(source, start, tiff_directory, facts)) return false;
    header.width = facts.width;
    header.height = std::min(facts.height, kMaxColourHeight);
    header.compression = facts.compression;
    header.data_offset = static_cast<intptr_t>(start);
    header.options = facts.bits_per_pixel;
    header.x_resolution = facts.x_resolution > 0 ? facts.x_resolution : kColourDefaultResolution;
    header.y_resolution = facts.y_resolution > 0 ? facts.y_resolution : kColourDefaultResolution;
    if (header.data_byte_count == 0 && !source.memory)
        header.data_byte_count =
            static_cast<int32_t>(std::min<int64_t>(source.file_size, INT32_MAX));
    return true;
}

}  // namespace pixdoc::files
