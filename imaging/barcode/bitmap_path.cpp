// Direction 1 and the other directions: the area decoded into a bitmap by Decompress, then
// every bitmap row converted to a change list. For direction 1 the bitmap is turned a quarter
// clockwise, so a row is a column of the area read from the area's bottom edge upward.
#include <cstring>
#include <new>
#include <vector>

#include "imaging/barcode/scan_paths.h"
#include "imaging/decode/bilevel/line_face.h"
#include "imaging/decode/bilevel/row_to_changes.h"

namespace pixdoc::barcode {
namespace {

constexpr int kOneToOne = 2048;
constexpr int kBandReady = 4;
constexpr int kAllDelivered = 16;
constexpr int kRowSentinels = 5;

struct Bitmap {
    int width = 0;  // pixels per row, a multiple of 16
    int rows = 0;
    int row_bytes = 0;
    std::vector<uint8_t> bits;

    bool Allocate(int w, int h) {
        width = w;
        rows = h;
        row_bytes = w / 8;
        try {
            bits.assign(static_cast<size_t>(row_bytes) * rows, 0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }
    uint8_t* Row(int r) { return bits.data() + static_cast<size_t>(r) * row_bytes; }
};

// Decodes the area into `bitmap` row by row as Decompress delivers its bands; false when the
// decoder cannot be set up. A band reaching past the bitmap is cut (bound: rows < bitmap rows).
bool DecodeArea(ImageHeader& h, const SearchArea& area, Bitmap& bitmap) {
    h.output_width = area.width;
    h.output_height = area.height;
    h.horizontal_scale = kOneToOne;
    h.vertical_scale = kOneToOne;
    h.first_column = area.x;
    h.first_row = area.y;
    h.orientation = 0;
    h.decode_flags = 1;
    bool any_band = false;
    for (;;) {
        int32_t r = Decompress(&h);
        if (r == kAllDelivered) return true;
        if (r != kBandReady) {  // set-up failure; a later failure just ends the decoding
            bilevel::BilevelRelease(h);
            return any_band;
        }
        any_band = true;
        const int first = h.rows_delivered - h.band_rows;
        const int copy_bytes = h.row_bytes < bitmap.row_bytes ? h.row_bytes : bitmap.row_bytes;
        for (int i = 0; i < h.band_rows; ++i) {
            int row = first + i;
            if (row < 0 || row >= bitmap.rows) continue;
            std::memcpy(bitmap.Row(row), h.band_buffer + static_cast<size_t>(i) * h.row_bytes,
                        copy_bytes);
        }
    }
}

// A quarter turn clockwise: source pixel (x, y) goes to row x, column rows - 1 - y.
bool TurnQuarter(Bitmap& source, Bitmap& turned) {
    if (!turned.Allocate(source.rows, source.width)) return false;
    for (int y = 0; y < source.rows; ++y) {
        const uint8_t* row = source.Row(y);
        const int column = source.rows - 1 - y;
        for (int b = 0; b < source.row_bytes; ++b) {
            if (row[b] == 0) continue;
            for (int bit = 0; bit < 8; ++bit) {
                if (!(row[b] & (0x80 >> bit))) continue;
                uint8_t* out = turned.Row(b * 8 + bit);
                out[column / 8] |= static_cast<uint8_t>(0x80 >> (column % 8));
            }
        }
    }
    return true;
}

}  // namespace

PathResult ScanPageBitmap(ImageHeader& h, const SearchArea& area, bool quarter_turn,
                          LineScanner& scanner) {
    Bitmap decoded;
    if (!decoded.Allocate(area.width, area.height)) return PathResult::kNoDecoder;
    if (!DecodeArea(h, area, decoded)) return PathResult::kNoDecoder;
    Bitmap turned;
    if (quarter_turn && !TurnQuarter(decoded, turned)) return PathResult::kNoDecoder;
    Bitmap& bitmap = quarter_turn ? turned : decoded;

    std::vector<int16_t> list;
    try {
        list.resize(static_cast<size_t>(bitmap.width) + kChangeListLead + kRowSentinels + 8);
    } catch (const std::bad_alloc&) {
        return PathResult::kNoDecoder;
    }
    for (int row = 0; row < bitmap.rows && scanner.Wanted(); ++row) {
        if (!scanner.Searches(row)) continue;
        list[0] = list[1] = 0;
        int changes =
            bilevel::RowToChanges(bitmap.Row(row), bitmap.width, list.data() + kChangeListLead);
        scanner.ScanLine(list.data(), changes + kChangeListLead, bitmap.width, row);
    }
    return PathResult::kScanned;
}

}  // namespace pixdoc::barcode
