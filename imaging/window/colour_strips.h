// A colour or grey page as an image window keeps it: decoded once at full size into strips of
// 16 rows (at most 512), in the form the container delivers (palette indices, grey levels or
// red-green-blue), with the display palette that turns one-byte pixels into screen colours.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "pixdoc32.h"

namespace pixdoc {

inline constexpr int32_t kColourStripRows = 16;
inline constexpr int32_t kMaxColourStrips = 512;

class ColourStrips {
public:
    // Decodes page `page` (from 1) of `name`, whose header OpenImageHeader read into `header`.
    // Returns 0, or the colour error code of the failure (-1 when the decoder left none);
    // nothing is kept after a failure.
    int32_t Decode(const char* name, int32_t page, const ImageHeader& header);
    // Frees every strip.
    void Clear();

    bool Empty() const { return strips_.empty(); }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t StripCount() const { return static_cast<int32_t>(strips_.size()); }
    // 1 (palette index or grey level) or 3 (red, green, blue).
    int32_t BytesPerPixel() const { return bytes_per_pixel_; }
    // Row y (0 <= y < Height()), or null for a strip the container never delivered.
    const uint8_t* Row(int32_t y) const;
    // Screen colour 0xFFRRGGBB of every one-byte pixel value.
    const std::array<uint32_t, 256>& DisplayPalette() const { return display_palette_; }

    // The line callback's work: rows first_row .. end_row - 1 of `columns` pixels each.
    bool PutRows(int32_t first_row, int32_t columns, int32_t end_row, const uint8_t* rows);

private:
    uint8_t* StripFor(int32_t row);

    int32_t width_ = 0, height_ = 0, bytes_per_pixel_ = 1;
    std::vector<std::unique_ptr<uint8_t[]>> strips_;
    std::array<uint32_t, 256> display_palette_{};
};

}  // namespace pixdoc
