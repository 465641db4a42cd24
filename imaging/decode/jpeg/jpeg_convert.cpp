#include "imaging/decode/jpeg/jpeg_convert.h"

#include <algorithm>

#include "imaging/colour/colour_error.h"

namespace pixdoc::jpeg {
namespace {

struct TableLine {
    int32_t start;
    int32_t step;
};
constexpr TableLine kCrRed{-11682187, 91882};
constexpr TableLine kCbBlue{-14773807, 116130};
constexpr TableLine kCrGreen{6000023, -46802};
constexpr TableLine kCbGreen{2908403, -22554};
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
    Fill(t.cr_red, kCrRed);
    Fill(t.cb_blue, kCbBlue);
    Fill(t.cr_green, kCrGreen);
    Fill(t.cb_green, kCbGreen);
    for (int i = 0; i < 1024; ++i)
        t.range_limit[i] = static_cast<uint8_t>(i < 256 ? i : (i < 512 ? 255 : 0));
}

void ConvertRowRgb(const ConversionTables& t, const uint8_t* y, const uint8_t* cb,
                   const uint8_t* cr, int width, uint8_t* out) {
    const uint8_t* limit = t.range_limit.data();
    for (int x = 0; x < width; ++x) {
        const int luma = y[x];
        const int b = cb[x];
        const int r = cr[x];
        out[0] = limit[(luma + t.cr_red[r]) & kRangeMask];
        out[1] = limit[(luma + t.cb_green[b] + t.cr_green[r]) & kRangeMask];
        out[2] = limit[(luma + t.cb_blue[b]) & kRangeMask];
        out += 3;
    }
}

int PreparePalette(uint8_t* palette, int palette_size, int components, int output_mode,
                   PaletteMap& map) {
    map = PaletteMap{};
    if (components == 1 || output_mode == kOutputGrey) {
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
               const uint8_t* cb, const uint8_t* cr, int width, uint8_t* out) {
    uint8_t rgb[3];
    const int n = map.levels;
    for (int x = 0; x < width; ++x) {
        ConvertRowRgb(t, y + x, cb + x, cr + x, 1, rgb);
        out[x] =
            static_cast<uint8_t>((Level(rgb[0], n) * n + Level(rgb[1], n)) * n + Level(rgb[2], n));
    }
}

}  // namespace pixdoc::jpeg
