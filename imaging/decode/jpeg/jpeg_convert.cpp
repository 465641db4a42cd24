#include "imaging/decode/jpeg/jpeg_convert.h"

#include <algorithm>

#include "imaging/decode/colour_error_code.h"

namespace pixdoc::jpeg {

const ConversionLines kConversionLines = {
    {-11682187, 91882},   // Cr to red
    {-14773807, 116130},  // Cb to blue
    {6000023, -46802},    // Cr to green
    {2908403, -22554},    // Cb to green
};

namespace {

constexpr int kTableShift = 16;
constexpr int kRangeMask = 1023;
constexpr int kMaxGreyEntries = 256;
constexpr int kMinCubeLevels = 2;

void Fill(std::array<int16_t, 256>& table, TableLine line) {
    for (int k = 0; k < 256; ++k)
        table[k] = static_cast<int16_t>((line.start + k * line.step) >> kTableShift);
}

inline uint8_t Level(int value, int levels) {
    return static_cast<uint8_t>((value * (levels - 1) + 127) / 255);
}

}  // namespace

void BuildConversionTables(ConversionTables& t) {
    Fill(t.cr_red, kConversionLines.cr_red);
    Fill(t.cb_blue, kConversionLines.cb_blue);
    Fill(t.cr_green, kConversionLines.cr_green);
    Fill(t.cb_green, kConversionLines.cb_green);
    for (int i = 0; i < 1024; ++i)
        t.range_limit[i] = static_cast<uint8_t>(i < 256 ? i : (i < 512 ? 255 : 0));
}

namespace {

inline void ConvertPixel(const ConversionTables& t, int luma, int red, int green, int blue,
                         uint8_t* out) {
    const uint8_t* limit = t.range_limit.data();
    out[0] = limit[(luma + red) & kRangeMask];
    out[1] = limit[(luma + green) & kRangeMask];
    out[2] = limit[(luma + blue) & kRangeMask];
}

}  // namespace

void ConvertRowRgb(const ConversionTables& t, const uint8_t* y, const uint8_t* cb,
                   const uint8_t* cr, int chroma_h, int width, uint8_t* out) {
    int x = 0;
    if (chroma_h == 2) {
        // Each chroma sample serves two pixels: its terms are looked up once.
        for (; x + 1 < width; x += 2, out += 6) {
            const int b = cb[x >> 1], r = cr[x >> 1];
            const int red = t.cr_red[r], green = t.cb_green[b] + t.cr_green[r];
            const int blue = t.cb_blue[b];
            ConvertPixel(t, y[x], red, green, blue, out);
            ConvertPixel(t, y[x + 1], red, green, blue, out + 3);
        }
    }
    for (; x < width; ++x, out += 3) {
        const int b = cb[x / chroma_h], r = cr[x / chroma_h];
        ConvertPixel(t, y[x], t.cr_red[r], t.cb_green[b] + t.cr_green[r], t.cb_blue[b], out);
    }
}

int PreparePalette(uint8_t* palette, int palette_size, int components, ColourOutputMode output_mode,
                   PaletteMap& map) {
    map = PaletteMap{};
    if (components == 1 || output_mode == ColourOutputMode::kGrey) {
        map.grey = true;
        map.entries = std::min(palette_size, kMaxGreyEntries);
        if (map.entries < kMinCubeLevels) return kErrPaletteColours;
        for (int i = 0; i < map.entries; ++i) {
            uint8_t v = static_cast<uint8_t>(i * 255 / (map.entries - 1));
            palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = v;
        }
        return kColourOk;
    }
    map.grey = false;
    int levels = 0;
    while ((levels + 1) * (levels + 1) * (levels + 1) <= palette_size)
        ++levels;
    if (levels < kMinCubeLevels) return kErrPaletteColours;
    map.levels = levels;
    int i = 0;
    for (int r = 0; r < levels; ++r)
        for (int g = 0; g < levels; ++g)
            for (int b = 0; b < levels; ++b, ++i) {
                palette[3 * i] = static_cast<uint8_t>(r * 255 / (levels - 1));
                palette[3 * i + 1] = static_cast<uint8_t>(g * 255 / (levels - 1));
                palette[3 * i + 2] = static_cast<uint8_t>(b * 255 / (levels - 1));
            }
    return kColourOk;
}

void MapRowGrey(const PaletteMap& map, const uint8_t* grey, int width, uint8_t* out) {
    const int levels = map.grey ? map.entries : 0;
    for (int x = 0; x < width; ++x)
        out[x] = levels == 256 ? grey[x] : Level(grey[x], levels);
}

void MapRowRgb(const ConversionTables& t, const PaletteMap& map, const uint8_t* y,
               const uint8_t* cb, const uint8_t* cr, int chroma_h, int width, uint8_t* out) {
    uint8_t rgb[3];
    const int n = map.levels;
    for (int x = 0; x < width; ++x) {
        ConvertRowRgb(t, y + x, cb + x / chroma_h, cr + x / chroma_h, 1, 1, rgb);
        out[x] =
            static_cast<uint8_t>((Level(rgb[0], n) * n + Level(rgb[1], n)) * n + Level(rgb[2], n));
    }
}

}  // namespace pixdoc::jpeg
