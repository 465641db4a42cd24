// PCX: run-length coded rows of one or more planes from byte 128, top-down. Monochrome,
// 16-colour (four 1-bit planes or one 4-bit plane), 256-colour with the palette at the end of the
// file, and 24-bit (three 8-bit planes).
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "imaging/decode/colour/colour_bytes.h"
#include "imaging/decode/colour/colour_readers.h"
#include "imaging/decode/colour/colour_rows.h"
#include "imaging/decode/colour_error_code.h"

namespace pixdoc {
namespace {

constexpr int32_t kHeaderSize = 128;
constexpr uint8_t kManufacturer = 0x0A;
constexpr int32_t kHeaderPaletteAt = 16;
constexpr int32_t kHeaderPaletteEntries = 16;
constexpr int32_t kEndPaletteSize = 769;  // marker byte 12 and 256 entries
constexpr uint8_t kEndPaletteMarker = 12;
constexpr uint8_t kRunFlag = 0xC0;
constexpr uint8_t kRunLengthMask = 0x3F;

enum class Layout { kUnsupported, kIndexed, kPlanar16, kRgb };

Layout LayoutOf(int32_t bits_per_plane, int32_t planes) {
    if (planes == 1 &&
        (bits_per_plane == 1 || bits_per_plane == 2 || bits_per_plane == 4 || bits_per_plane == 8))
        return Layout::kIndexed;
    if (bits_per_plane == 1 && (planes == 2 || planes == 3 || planes == 4))
        return Layout::kPlanar16;
    if (bits_per_plane == 8 && planes == 3) return Layout::kRgb;
    return Layout::kUnsupported;
}

int ReadEndPalette(ColourDecoderState& s) {
    const int64_t size = ColourSourceSize(s);
    uint8_t block[kEndPaletteSize];
    if (size < kHeaderSize + kEndPaletteSize || !ColourSeek(s, size - kEndPaletteSize) ||
        ColourRead(s, block, kEndPaletteSize) != kEndPaletteSize || block[0] != kEndPaletteMarker)
        return ColourFail(s, kErrPalette);
    s.palette_entries = kPaletteEntries;
    if (s.palette) std::memcpy(*s.palette, block + 1, sizeof(ColourPalette));
    return 0;
}

void UseHeaderPalette(ColourDecoderState& s, const uint8_t* h) {
    s.palette_entries = std::min(1 << s.bits_per_pixel, kHeaderPaletteEntries);
    if (!s.palette) return;
    std::memset(*s.palette, 0, sizeof(ColourPalette));
    std::memcpy(*s.palette, h + kHeaderPaletteAt, kHeaderPaletteEntries * 3);
    // A monochrome page without colours in its header is black on white.
    if (s.bits_per_pixel == 1 && std::all_of(h + kHeaderPaletteAt, h + kHeaderPaletteAt + 6,
                                             [](uint8_t b) { return b == 0; }))
        std::memset((*s.palette)[1], 0xFF, 3);
}

// Expands one decoded line (planes one after the other) into one pixel per index or RGB triple.
void Expand(const ColourDecoderState& s, const uint8_t* line, uint8_t* out) {
    const int32_t bpl = s.bytes_per_line;
    const int32_t bits = s.bits_per_pixel / s.planes;
    const Layout layout = LayoutOf(bits, s.planes);
    for (int32_t x = 0; x < s.width; ++x) {
        if (layout == Layout::kRgb) {
            for (int32_t c = 0; c < 3; ++c)
                out[3 * x + c] = line[c * bpl + x];
        } else if (layout == Layout::kPlanar16) {
            uint8_t v = 0;
            for (int32_t p = 0; p < s.planes; ++p)
                v |= static_cast<uint8_t>(((line[p * bpl + (x >> 3)] >> (7 - (x & 7))) & 1) << p);
            out[x] = v;
        } else {
            const int32_t per_byte = 8 / bits;
            const int32_t shift = 8 - bits * (x % per_byte + 1);
            out[x] = static_cast<uint8_t>((line[x / per_byte] >> shift) & ((1 << bits) - 1));
        }
    }
}

}  // namespace

int ReadPcxHeader(ColourDecoderState& s) {
    uint8_t h[kHeaderSize];
    ColourSeek(s, 0);
    if (ColourRead(s, h, kHeaderSize) != kHeaderSize) return ColourFail(s, kErrRead);
    if (h[0] != kManufacturer && h[2] != 1) return ColourFail(s, kErrHeaderId);
    std::strcpy(s.container_name, "PCX");
    const int32_t version = h[1];
    const int32_t bits_per_plane = h[3];
    s.planes = h[65];
    s.bits_per_pixel = bits_per_plane * s.planes;
    s.width = Le16(h + 8) - Le16(h + 4) + 1;
    s.height = Le16(h + 10) - Le16(h + 6) + 1;
    s.bytes_per_line = Le16(h + 66);
    s.x_resolution = Le16(h + 12);
    s.y_resolution = Le16(h + 14);
    s.data_offset = kHeaderSize;
    if (s.width < 1 || s.height < 1) return ColourFail(s, kErrDimensions);
    const Layout layout = LayoutOf(bits_per_plane, s.planes);
    if (layout == Layout::kUnsupported) return ColourFail(s, kErrUnsupportedDepth);
    const int64_t needed = (static_cast<int64_t>(s.width) * bits_per_plane + 7) / 8;
    if (s.bytes_per_line < needed) return ColourFail(s, kErrDimensions);
    if (layout == Layout::kRgb) {
        s.palette_entries = 0;
        return 0;
    }
    if (s.bits_per_pixel == 8) return ReadEndPalette(s);
    if (version == 2 || version == 5 || s.bits_per_pixel == 1) UseHeaderPalette(s, h);
    return 0;
}

int DecodePcx(ColourDecoderState& s) {
    const bool rgb = s.bits_per_pixel == 24;
    ColourRowWriter writer(s, rgb ? PixelForm::kRgb : PixelForm::kIndex, false);
    if (!writer.Ready()) return -1;
    const int32_t line_bytes = s.bytes_per_line * s.planes;
    std::vector<uint8_t> line, row;
    try {
        line.resize(static_cast<size_t>(line_bytes));
        row.resize(static_cast<size_t>(s.width) * (rgb ? 3 : 1));
    } catch (const std::bad_alloc&) {
        return ColourFail(s, kErrNoMemory);
    }
    if (!ColourSeek(s, s.data_offset)) return ColourFail(s, kErrSeek);
    // A run may carry over into the next line; the rest of it is kept here.
    int32_t run_left = 0;
    uint8_t run_value = 0;
    const int32_t last_row = writer.LastUsefulRow();
    for (int32_t y = 0; y <= last_row; ++y) {
        int32_t filled = 0;
        while (filled < line_bytes) {
            if (run_left > 0) {
                const int32_t n = std::min(run_left, line_bytes - filled);
                std::memset(line.data() + filled, run_value, static_cast<size_t>(n));
                filled += n;
                run_left -= n;
                continue;
            }
            const int b = ColourReadByte(s);
            if (b < 0) {
                writer.Finish();
                return ColourFail(s, kErrUnexpectedEnd);
            }
            if ((b & kRunFlag) == kRunFlag) {
                const int v = ColourReadByte(s);
                if (v < 0) {
                    writer.Finish();
                    return ColourFail(s, kErrUnexpectedEnd);
                }
                run_left = b & kRunLengthMask;
                run_value = static_cast<uint8_t>(v);
            } else {
                line[static_cast<size_t>(filled++)] = static_cast<uint8_t>(b);
            }
        }
        Expand(s, line.data(), row.data());
        if (!writer.PutRow(y, row.data())) return -1;
    }
    return writer.Finish() ? 0 : -1;
}

}  // namespace pixdoc
