// BMP: Windows (40-byte) and OS/2 (12-byte) information headers, 1, 4, 8 and 24 bits per pixel,
// uncompressed rows padded to 32 bits or run-length coded (8 and 4 bits), delivered in the order of
// the file (normally bottom-up).
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "imaging/decode/colour/colour_bytes.h"
#include "imaging/decode/colour/colour_readers.h"
#include "imaging/decode/colour/colour_rows.h"
#include "imaging/decode/colour_error_code.h"

namespace pixdoc {
namespace {

constexpr int32_t kFileHeaderSize = 14;
constexpr int32_t kWindowsInfoSize = 40;
constexpr int32_t kOs2InfoSize = 12;
constexpr int32_t kCompressionNone = 0;
constexpr int32_t kCompressionRle8 = 1;
constexpr int32_t kCompressionRle4 = 2;
// Pixels per metre to dots per inch: 0.0254 metre per inch.
constexpr int32_t kMicrometresPerInch = 25400;

int32_t DotsPerInch(uint32_t pixels_per_metre) {
    if (pixels_per_metre == 0 || pixels_per_metre > 1000000) return 0;
    return static_cast<int32_t>(
        (static_cast<int64_t>(pixels_per_metre) * kMicrometresPerInch + 500000) / 1000000);
}

bool DepthSupported(int32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24;
}

// Reads the palette between the information header and the pixel data.
int ReadPalette(ColourDecoderState& s, int64_t palette_at, int32_t entry_size, uint32_t used) {
    int32_t entries = 1 << s.bits_per_pixel;
    if (used > 0 && used < static_cast<uint32_t>(entries)) entries = static_cast<int32_t>(used);
    const int64_t room = (s.data_offset - palette_at) / entry_size;
    entries = static_cast<int32_t>(std::clamp<int64_t>(room, 0, entries));
    s.palette_entries = entries;
    if (!s.palette) return 0;
    std::memset(*s.palette, 0, sizeof(ColourPalette));
    uint8_t raw[kPaletteEntries * 4];
    const int32_t bytes = entries * entry_size;
    if (!ColourSeek(s, palette_at) || ColourRead(s, raw, bytes) != bytes)
        return ColourFail(s, kErrPalette);
    for (int32_t i = 0; i < entries; ++i) {
        const uint8_t* e = raw + i * entry_size;  // blue, green, red
        (*s.palette)[i][0] = e[2];
        (*s.palette)[i][1] = e[1];
        (*s.palette)[i][2] = e[0];
    }
    return 0;
}

void Unpack(const uint8_t* in, int32_t bits, int32_t width, uint8_t* out) {
    switch (bits) {
        case 1:
            for (int32_t x = 0; x < width; ++x)
                out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
            break;
        case 4:
            for (int32_t x = 0; x < width; ++x)
                out[x] = (x & 1) ? (in[x >> 1] & 0x0F) : (in[x >> 1] >> 4);
            break;
        case 8:
            std::memcpy(out, in, static_cast<size_t>(width));
            break;
        default:  // 24: blue, green, red
            for (int32_t x = 0; x < width; ++x) {
                out[3 * x] = in[3 * x + 2];
                out[3 * x + 1] = in[3 * x + 1];
                out[3 * x + 2] = in[3 * x];
            }
            break;
    }
}

// Run-length coded rows (8 or 4 bits): pixels a delta skips and rows after the end of the
// bitmap keep index 0.
class RunLengthRows {
public:
    RunLengthRows(ColourDecoderState& s, ColourRowWriter& writer, std::vector<uint8_t>& row)
        : s_(s), writer_(writer), row_(row) {}

    void Put(uint8_t index) {
        if (x_ < s_.width) row_[static_cast<size_t>(x_++)] = index;
    }
    // Delivers the current row and starts the next one; false when delivery must stop.
    bool EndRow() {
        if (line_ >= s_.height) return true;
        const int32_t y = s_.top_down ? line_ : s_.height - 1 - line_;
        ++line_;
        const bool ok = writer_.PutRow(y, row_.data());
        std::fill(row_.begin(), row_.end(), 0);
        x_ = 0;
        return ok;
    }
    bool Done() const { return line_ >= s_.height; }
    void Skip(int32_t dx) { x_ = std::min(x_ + dx, s_.width); }
    int32_t Column() const { return x_; }

private:
    ColourDecoderState& s_;
    ColourRowWriter& writer_;
    std::vector<uint8_t>& row_;
    int32_t x_ = 0, line_ = 0;
};

int DecodeBmpRunLength(ColourDecoderState& s) {
    ColourRowWriter writer(s, PixelForm::kIndex, /*file_order=*/true);
    if (!writer.Ready()) return -1;
    std::vector<uint8_t> row;
    try {
        row.assign(static_cast<size_t>(s.width), 0);
    } catch (const std::bad_alloc&) {
        return ColourFail(s, kErrNoMemory);
    }
    if (!ColourSeek(s, s.data_offset)) return ColourFail(s, kErrSeek);
    const bool four = s.compression == kCompressionRle4;
    RunLengthRows rows(s, writer, row);
    auto fail = [&](int32_t code) {
        writer.Finish();
        return ColourFail(s, code);
    };
    while (!rows.Done()) {
        const int count = ColourReadByte(s);
        const int value = ColourReadByte(s);
        if (count < 0 || value < 0) return fail(kErrUnexpectedEnd);
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                rows.Put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) {  // end of line
            if (!rows.EndRow()) return -1;
        } else if (value == 1) {  // end of bitmap
            while (!rows.Done())
                if (!rows.EndRow()) return -1;
        } else if (value == 2) {  // delta
            const int dx = ColourReadByte(s), dy = ColourReadByte(s);
            if (dx < 0 || dy < 0) return fail(kErrUnexpectedEnd);
            const int32_t column = rows.Column();
            for (int i = 0; i < dy && !rows.Done(); ++i)
                if (!rows.EndRow()) return -1;
            rows.Skip((dy > 0 ? column : 0) + dx);
        } else {  // absolute run, padded to a 16-bit boundary
            const int bytes = four ? (value + 1) / 2 : value;
            uint8_t raw[256];
            if (ColourRead(s, raw, bytes) != bytes) return fail(kErrUnexpectedEnd);
            for (int i = 0; i < value; ++i)
                rows.Put(four ? ((i & 1) ? raw[i / 2] & 0x0F : raw[i / 2] >> 4) : raw[i]);
            if ((bytes & 1) && ColourReadByte(s) < 0) return fail(kErrUnexpectedEnd);
        }
    }
    return writer.Finish() ? 0 : -1;
}

}  // namespace

int ReadBmpHeader(ColourDecoderState& s) {
    uint8_t h[kFileHeaderSize + kWindowsInfoSize] = {};
    ColourSeek(s, 0);
    const int32_t got = ColourRead(s, h, sizeof(h));
    if (got < kFileHeaderSize + 4) return ColourFail(s, kErrRead);
    if (h[0] != 'B' || h[1] != 'M') return ColourFail(s, kErrHeaderId);
    std::strcpy(s.container_name, "BMP");
    s.data_offset = Le32(h + 10);
    const uint32_t info_size = Le32(h + 14);
    int64_t width = 0, height = 0;
    int32_t entry_size = 0;
    uint32_t used = 0;
    if (info_size == kWindowsInfoSize) {
        if (got < kFileHeaderSize + kWindowsInfoSize) return ColourFail(s, kErrRead);
        width = static_cast<int32_t>(Le32(h + 18));
        height = static_cast<int32_t>(Le32(h + 22));
        s.bits_per_pixel = Le16(h + 28);
        s.compression = static_cast<int32_t>(Le32(h + 30));
        s.x_resolution = DotsPerInch(Le32(h + 38));
        s.y_resolution = DotsPerInch(Le32(h + 42));
        used = Le32(h + 46);
        entry_size = 4;
    } else if (info_size == kOs2InfoSize) {
        if (got < kFileHeaderSize + kOs2InfoSize) return ColourFail(s, kErrRead);
        width = Le16(h + 18);
        height = Le16(h + 20);
        s.bits_per_pixel = Le16(h + 24);
        s.compression = kCompressionNone;
        entry_size = 3;
    } else {
        return ColourFail(s, kErrGifCode);  // the historical code for an unknown BMP header
    }
    // A negative height stores the top row first.
    s.top_down = height < 0;
    height = std::llabs(height);
    if (width < 1 || height < 1 || width > kMaxColourDimension || height > kMaxColourDimension)
        return ColourFail(s, kErrDimensions);
    s.width = static_cast<int32_t>(width);
    s.height = static_cast<int32_t>(height);
    const bool coding_fits = s.compression == kCompressionNone ||
                             (s.compression == kCompressionRle8 && s.bits_per_pixel == 8) ||
                             (s.compression == kCompressionRle4 && s.bits_per_pixel == 4);
    if (!DepthSupported(s.bits_per_pixel) || !coding_fits)
        return ColourFail(s, kErrUnsupportedDepth);
    const int64_t palette_at = kFileHeaderSize + info_size;
    const int64_t size = ColourSourceSize(s);
    if (s.data_offset < palette_at || (size >= 0 && s.data_offset >= size))
        return ColourFail(s, kErrDataOffset);
    if (s.bits_per_pixel < 24) return ReadPalette(s, palette_at, entry_size, used);
    s.palette_entries = 0;
    return 0;
}

int DecodeBmp(ColourDecoderState& s) {
    if (s.compression != kCompressionNone) return DecodeBmpRunLength(s);
    const PixelForm form = s.bits_per_pixel == 24 ? PixelForm::kRgb : PixelForm::kIndex;
    ColourRowWriter writer(s, form, /*file_order=*/true);
    if (!writer.Ready()) return -1;
    const int64_t stride = ((static_cast<int64_t>(s.width) * s.bits_per_pixel + 31) / 32) * 4;
    std::vector<uint8_t> row;
    try {
        row.resize(static_cast<size_t>(s.width) * (form == PixelForm::kRgb ? 3 : 1));
    } catch (const std::bad_alloc&) {
        return ColourFail(s, kErrNoMemory);
    }
    if (!ColourSeek(s, s.data_offset)) return ColourFail(s, kErrSeek);
    RowBlockReader rows(s, static_cast<int32_t>(stride));
    for (int32_t i = 0; i < s.height; ++i) {
        const uint8_t* raw_row = rows.Next(s.height - i);
        if (!raw_row) {
            writer.Finish();
            return ColourFail(s, kErrUnexpectedEnd);
        }
        Unpack(raw_row, s.bits_per_pixel, s.width, row.data());
        const int32_t y = s.top_down ? i : s.height - 1 - i;
        if (!writer.PutRow(y, row.data())) return -1;
    }
    return writer.Finish() ? 0 : -1;
}

}  // namespace pixdoc
