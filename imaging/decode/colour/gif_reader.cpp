// GIF: the first image of the file, with the global and local colour tables; a plain image is
// delivered top-down in chunks, an interlaced one row by row in its four passes.
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "imaging/decode/colour/colour_bytes.h"
#include "imaging/decode/colour/colour_readers.h"
#include "imaging/decode/colour/colour_rows.h"
#include "imaging/decode/colour/gif_lzw.h"
#include "imaging/decode/colour_error_code.h"

namespace pixdoc {
namespace {

constexpr int32_t kScreenDescriptorEnd = 13;
constexpr int kExtensionIntroducer = 0x21;
constexpr int kImageSeparator = 0x2C;
constexpr uint8_t kColourTableFlag = 0x80;
constexpr uint8_t kInterlaceFlag = 0x40;
constexpr uint8_t kTableSizeMask = 0x07;
constexpr int kImageDescriptorSize = 9;
constexpr int kMaxMinimumCodeSize = 11;

struct Pass {
    int32_t start, step;
};
constexpr Pass kInterlacePasses[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};

// Reads a colour table of 2^bits entries at the current position into the palette.
bool ReadColourTable(ColourDecoderState& s, int bits) {
    const int32_t entries = 1 << bits;
    uint8_t table[kPaletteEntries * 3];
    if (ColourRead(s, table, entries * 3) != entries * 3) return false;
    s.palette_entries = entries;
    if (s.palette) {
        std::memset(*s.palette, 0, sizeof(ColourPalette));
        std::memcpy(*s.palette, table, static_cast<size_t>(entries) * 3);
    }
    return true;
}

// Skips data sub-blocks up to and including the empty block.
bool SkipSubBlocks(ColourDecoderState& s) {
    for (;;) {
        const int size = ColourReadByte(s);
        if (size < 0) return false;
        if (size == 0) return true;
        if (!ColourSeek(s, ColourTell(s) + size)) return false;
    }
}

}  // namespace

int ReadGifHeader(ColourDecoderState& s) {
    uint8_t h[kScreenDescriptorEnd];
    ColourSeek(s, 0);
    if (ColourRead(s, h, sizeof(h)) != sizeof(h)) return ColourFail(s, kErrRead);
    if (std::memcmp(h, "GIF", 3) != 0) return ColourFail(s, kErrHeaderId);
    std::strcpy(s.container_name, "GIF");
    s.bits_per_pixel = (h[10] & kTableSizeMask) + 1;
    s.palette_entries = 0;
    if ((h[10] & kColourTableFlag) && !ReadColourTable(s, s.bits_per_pixel))
        return ColourFail(s, kErrPalette);
    // Extensions come before the first image descriptor.
    for (;;) {
        const int block = ColourReadByte(s);
        if (block == kImageSeparator) break;
        if (block != kExtensionIntroducer || ColourReadByte(s) < 0 || !SkipSubBlocks(s))
            return ColourFail(s, kErrGifNoImage);
    }
    uint8_t d[kImageDescriptorSize];
    if (ColourRead(s, d, sizeof(d)) != sizeof(d)) return ColourFail(s, kErrGifNoImage);
    s.width = Le16(d + 4);
    s.height = Le16(d + 6);
    if (s.width < 1 || s.height < 1) return ColourFail(s, kErrDimensions);
    s.interlaced = (d[8] & kInterlaceFlag) != 0;
    if (d[8] & kColourTableFlag) {
        s.bits_per_pixel = (d[8] & kTableSizeMask) + 1;
        if (!ReadColourTable(s, s.bits_per_pixel)) return ColourFail(s, kErrPalette);
    }
    s.data_offset = ColourTell(s);
    return 0;
}

int DecodeGif(ColourDecoderState& s) {
    if (!ColourSeek(s, s.data_offset)) return ColourFail(s, kErrSeek);
    const int minimum_code_size = ColourReadByte(s);
    if (minimum_code_size < 1 || minimum_code_size > kMaxMinimumCodeSize)
        return ColourFail(s, kErrGifCode);
    ColourRowWriter writer(s, PixelForm::kIndex, s.interlaced);
    if (!writer.Ready()) return -1;
    std::unique_ptr<GifLzwDecoder> lzw;
    std::vector<uint8_t> row;
    try {
        lzw = std::make_unique<GifLzwDecoder>(minimum_code_size);
        row.resize(static_cast<size_t>(s.width));
    } catch (const std::bad_alloc&) {
        return ColourFail(s, kErrNoMemory);
    }
    // Row numbers in the order the file holds them.
    const int pass_count = s.interlaced ? 4 : 1;
    for (int p = 0; p < pass_count; ++p) {
        const Pass pass = s.interlaced ? kInterlacePasses[p] : Pass{0, 1};
        for (int32_t y = pass.start; y < s.height; y += pass.step) {
            int32_t produced = 0;
            const auto status = lzw->Read(s, row.data(), s.width, produced);
            if (status == GifLzwDecoder::Status::kInvalidCode) {
                writer.Finish();
                return ColourFail(s, kErrGifCode);
            }
            if (produced < s.width) {
                writer.Finish();
                return ColourFail(s, kErrUnexpectedEnd);
            }
            if (!writer.PutRow(y, row.data())) return -1;
        }
    }
    return writer.Finish() ? 0 : -1;
}

}  // namespace pixdoc
