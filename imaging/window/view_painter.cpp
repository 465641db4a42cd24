#include "imaging/window/view_painter.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <vector>

#include "imaging/decode/bilevel/line_face.h"
#include "imaging/io/file_access.h"
#include "imaging/window/zoom.h"

namespace pixdoc {
namespace {

constexpr int32_t kOrLinesKeepThinRuns = 3;
constexpr int32_t kTurnedHeightStep = 16;  // the band decoder's turned outputs are this high
constexpr int32_t kBandReady = 4;

// The client as the painters see it.
struct Canvas {
    uint32_t* pixels;
    int32_t width, height;  // the client size
    int32_t out_w, out_h;   // the view's output size (at most the client size)
    int32_t orientation;
    uint32_t* At(int32_t x, int32_t y) const { return pixels + size_t(y) * width + x; }
};

// The part of the upright output (rows and columns of the page's own orientation) that shows
// the page: columns 0..columns-1, rows 0..rows-1.
struct UprightExtent {
    int32_t columns = 0, rows = 0;
};

bool Turned(int32_t orientation) {
    return orientation == 1 || orientation == 3;
}

// The client rectangle an upright extent turns into.
PaintedRect PlaceExtent(const Canvas& c, const UprightExtent& e) {
    switch (c.orientation) {
        case 1:
            return {c.out_w - e.rows, 0, c.out_w, e.columns};
        case 2:
            return {c.out_w - e.columns, c.out_h - e.rows, c.out_w, c.out_h};
        case 3:
            return {0, c.out_h - e.columns, e.rows, c.out_h};
        default:
            return {0, 0, e.columns, e.rows};
    }
}

void FillRect(const Canvas& c, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, c.width), bottom = std::min(bottom, c.height);
    for (int32_t y = top; y < bottom; ++y)
        std::fill(c.At(left, y), c.At(right, y), kBackground);
}

void FillOutside(const Canvas& c, const PaintedRect& r) {
    FillRect(c, 0, 0, c.width, r.top);
    FillRect(c, 0, r.bottom, c.width, c.height);
    FillRect(c, 0, r.top, r.left, r.bottom);
    FillRect(c, r.right, r.top, c.width, r.bottom);
}

// ---- Bilevel pages: the band decoder at the view's scales. ----

// Eight screen pixels for every byte of a band row (set bits black).
struct ByteExpansion {
    std::array<std::array<uint32_t, 8>, 256> pixels;
};
const ByteExpansion& Expansion() {
    static const ByteExpansion table = [] {
        ByteExpansion t;
        for (int b = 0; b < 256; ++b)
            for (int i = 0; i < 8; ++i)
                t.pixels[b][i] = (b & (0x80 >> i)) ? kBlackPixel : kWhitePixel;
        return t;
    }();
    return table;
}

// Output rows the band decoder fills from `lines` source lines at vertical scale t.
int32_t DecodedRows(int32_t lines, int32_t t, int32_t options) {
    if (lines <= 0) return 0;
    const int64_t start = t < kScaleOne ? kScaleOne - 1 : 0;
    const int64_t rows = (start + int64_t(lines) * t) / kScaleOne;
    const int64_t before_last = (start + int64_t(lines - 1) * t) / kScaleOne;
    // With ORed rows, a row the last line began counts as well.
    const bool pending = (options & 1) && rows == before_last;
    return int32_t(rows + (pending ? 1 : 0));
}

UprightExtent BilevelExtent(const ImageHeader& v, int32_t row_width, int32_t row_count,
                            int32_t options) {
    UprightExtent e;
    e.columns = int32_t(std::min<int64_t>(
        row_width,
        (kScaleOne / 2 + int64_t(v.visible_source_width) * v.horizontal_scale) / kScaleOne));
    e.rows = std::min(row_count, DecodedRows(v.visible_source_height, v.vertical_scale, options));
    return e;
}

// Copies a band of bits placed at (x, y) into the canvas, inside `clip` only.
void PutBand(const Canvas& c, const uint8_t* band, int32_t x, int32_t y, int32_t w, int32_t h,
             const PaintedRect& clip, bool negative) {
    const ByteExpansion& expand = Expansion();
    const int32_t row_bytes = (w + 7) / 8;
    const uint8_t flip = negative ? 0xFF : 0x00;
    const int32_t left = std::max(x, clip.left), right = std::min(x + w, clip.right);
    if (left >= right) return;
    for (int32_t r = std::max(0, clip.top - y); r < h && y + r < clip.bottom; ++r) {
        const uint8_t* bits = band + size_t(r) * row_bytes;
        uint32_t* out = c.At(0, y + r);
        int32_t px = left;
        // Bound: px stays within [left, right), inside the canvas row.
        while (px < right && (px - x) % 8 != 0) {
            const int32_t i = px - x;
            out[px++] = expand.pixels[uint8_t(bits[i / 8] ^ flip)][i % 8];
        }
        for (; px + 8 <= right; px += 8)
            std::memcpy(out + px, expand.pixels[uint8_t(bits[(px - x) / 8] ^ flip)].data(),
                        8 * sizeof(uint32_t));
        for (; px < right; ++px) {
            const int32_t i = px - x;
            out[px] = expand.pixels[uint8_t(bits[i / 8] ^ flip)][i % 8];
        }
    }
}

struct FileGuard {
    int32_t handle;
    ~FileGuard() { files::FileClose(handle); }
};

PaintedRect PaintBilevel(const WindowState& w, const Canvas& c) {
    const ImageHeader& v = w.view;
    const int32_t options = DisplayOptions(w);
    // The decoder's own copy of the view; its turned outputs are a multiple of 16 high, so it
    // decodes at least the client's height and the bands are shifted to end at its bottom.
    ImageHeader d{};
    std::memcpy(&d, &v, offsetof(ImageHeader, visible_source_width));
    d.data_byte_count = v.data_byte_count;
    d.output_width = c.out_w;
    d.output_height = c.orientation == 0 ? c.out_h
                                         : (c.out_h + kTurnedHeightStep - 1) / kTurnedHeightStep *
                                               kTurnedHeightStep;
    d.options = options;
    d.decode_flags = bilevel::kFlagSetUpNeeded | bilevel::kFlagNoFit;
    if (v.compression < PX_CODE_MULTI_STRIP && v.data_byte_count > 0) {
        d.byte_budget = v.data_byte_count;
        d.decode_flags |= bilevel::kFlagBudgetGiven;
    }
    const bool turned = Turned(c.orientation);
    const UprightExtent extent =
        BilevelExtent(v, turned ? c.out_h : c.out_w, turned ? c.out_w : c.out_h, options);
    const PaintedRect image = PlaceExtent(c, extent);
    const int32_t shift =
        (c.orientation == 2 || c.orientation == 3) ? c.out_h - d.output_height : 0;

    const FileGuard file{files::FileOpen(w.file_name.c_str())};
    d.handle = file.handle;
    if (file.handle == files::kInvalidHandle) return {};
    // A page the decoder cannot set up shows as background. Bound: the decoder delivers at most
    // its output rows in bands, then 16.
    int32_t result = Decompress(&d);
    if (result != kBandReady) return {};
    for (; result == kBandReady; result = Decompress(&d)) {
        int32_t x = 0, y = 0, bw = 0, bh = 0;
        RotateCoordinates(&d, &x, &y, &bw, &bh);
        PutBand(c, d.band_buffer, x, y + shift, bw, bh, image, w.negative != 0);
    }
    bilevel::BilevelRelease(d);
    return image;
}

// ---- Colour pages: sampled from the strips. ----

// Source pixel of every output pixel along one axis: the one whose centre the pixel covers,
// as the band decoder's column map places them.
std::vector<int32_t> SourceIndex(int32_t count, int32_t first, int32_t scale) {
    std::vector<int32_t> index(size_t(std::max(count, 0)));
    for (int32_t i = 0; i < count; ++i)
        index[size_t(i)] = first + int32_t((int64_t(i) * kScaleOne + kScaleOne / 2 - 1) / scale);
    return index;
}

PaintedRect PaintColour(const WindowState& w, const Canvas& c) {
    const ImageHeader& v = w.view;
    const ColourStrips& strips = w.colour;
    const bool turned = Turned(c.orientation);
    const int32_t row_width = turned ? c.out_h : c.out_w;
    const int32_t row_count = turned ? c.out_w : c.out_h;
    UprightExtent e;
    const int32_t columns = std::min(v.visible_source_width, strips.Width() - v.first_column);
    const int32_t rows = std::min(v.visible_source_height, strips.Height() - v.first_row);
    e.columns = int32_t(std::min<int64_t>(
        row_width,
        (int64_t(std::max(columns, 0)) * v.horizontal_scale + kScaleOne / 2) / kScaleOne));
    e.rows = int32_t(std::min<int64_t>(
        row_count, (int64_t(std::max(rows, 0)) * v.vertical_scale + kScaleOne / 2) / kScaleOne));
    const PaintedRect image = PlaceExtent(c, e);

    const std::vector<int32_t> source_x =
        SourceIndex(e.columns, v.first_column, v.horizontal_scale);
    const std::vector<int32_t> source_y = SourceIndex(e.rows, v.first_row, v.vertical_scale);
    const auto& palette = strips.DisplayPalette();
    const bool rgb = strips.BytesPerPixel() == 3;
    std::vector<uint32_t> line(size_t(e.columns));
    for (int32_t y = 0; y < e.rows; ++y) {
        const uint8_t* row = strips.Row(source_y[size_t(y)]);
        for (int32_t x = 0; x < e.columns; ++x) {
            const int32_t sx = source_x[size_t(x)];
            if (!row)
                line[size_t(x)] = kWhitePixel;
            else if (rgb)
                line[size_t(x)] = kBlackPixel | uint32_t(row[sx * 3]) << 16 |
                                  uint32_t(row[sx * 3 + 1]) << 8 | row[sx * 3 + 2];
            else
                line[size_t(x)] = palette[row[sx]];
        }
        // Upright pixel (x, y) goes where the orientation turns it.
        switch (c.orientation) {
            case 1:
                for (int32_t x = 0; x < e.columns; ++x)
                    *c.At(c.out_w - 1 - y, x) = line[size_t(x)];
                break;
            case 2:
                for (int32_t x = 0; x < e.columns; ++x)
                    *c.At(c.out_w - 1 - x, c.out_h - 1 - y) = line[size_t(x)];
                break;
            case 3:
                for (int32_t x = 0; x < e.columns; ++x)
                    *c.At(y, c.out_h - 1 - x) = line[size_t(x)];
                break;
            default:
                std::copy(line.begin(), line.end(), c.At(0, y));
                break;
        }
    }
    return image;
}

}  // namespace

int32_t DisplayOptions(const WindowState& w) {
    if (w.options_chosen) return w.options;
    const bool reduced = w.view.horizontal_scale < kScaleOne || w.view.vertical_scale < kScaleOne;
    // The options favour set bits, which are white on a negative page.
    return reduced && w.negative == 0 ? kOrLinesKeepThinRuns : 0;
}

PaintedRect PaintView(WindowState& w) {
    const size_t size = size_t(w.client_width) * size_t(w.client_height);
    if (w.pixels.size() != size) w.pixels.assign(size, kBackground);
    Canvas c{w.pixels.data(),
             w.client_width,
             w.client_height,
             std::min(w.view.output_width, w.client_width),
             std::min(w.view.output_height, w.client_height),
             w.view.orientation & 3};
    PaintedRect image{};
    const bool shows_page = w.loaded && c.out_w > 0 && c.out_h > 0 && w.colour_error == 0;
    if (shows_page && w.view.compression >= PX_CODE_BMP && !w.colour.Empty())
        image = PaintColour(w, c);
    else if (shows_page && w.view.compression < PX_CODE_BMP)
        image = PaintBilevel(w, c);
    FillOutside(c, image);
    return image;
}

}  // namespace pixdoc
