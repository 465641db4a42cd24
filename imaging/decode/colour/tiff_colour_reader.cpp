// Colour and grey TIFF pages: 8-bit grey uncompressed or PackBits, 24-bit RGB uncompressed, and
// single-strip JPEG pages handed to the JPEG reader. Everything else is refused (error 71).
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "imaging/decode/colour/colour_bytes.h"
#include "imaging/decode/colour/colour_readers.h"
#include "imaging/decode/colour/colour_rows.h"
#include "imaging/decode/colour_error_code.h"
#include "imaging/decode/packbits.h"
#include "imaging/decode/tiff_directory_reader.h"

namespace pixdoc {
namespace {

constexpr int32_t kMaxSamples = 16;
// Strips never outnumber rows; this also bounds the strip arrays of a damaged directory.
constexpr uint32_t kMaxStrips = kMaxColourDimension;

constexpr uint32_t kColorMapValues = 3 * kPaletteEntries;
// JPEGTables: quantisation and Huffman tables between a start and an end marker.
constexpr uint32_t kMaxJpegTablesBytes = 65536;
constexpr uint32_t kMarkerBytes = 2;

// The state's source as the directory reader reads it.
class StateBytes final : public TiffBytes {
public:
    explicit StateBytes(ColourDecoderState& s) : s_(s) {}
    int32_t ReadAt(int64_t offset, uint8_t* out, int32_t count) const override {
        if (!ColourSeek(s_, offset)) return 0;
        return std::max(ColourRead(s_, out, count), 0);
    }

private:
    ColourDecoderState& s_;
};

// All values of a BYTE, SHORT or LONG entry of 1 to max_count values; false when the entry is
// of another type or count, or its values cannot all be read.
bool Values(const TiffDirectory& d, const TiffEntry& e, uint32_t max_count,
            std::vector<uint32_t>& out) {
    const bool integer = e.type == kTypeByte || e.type == kTypeShort || e.type == kTypeLong;
    if (!integer || e.count == 0 || e.count > max_count) return false;
    std::vector<uint32_t> values(e.count);
    if (d.ReadValues(e, e.count, values.data()) != e.count) return false;
    out = std::move(values);
    return true;
}

// The first value of an entry of up to kMaxSamples values, or the fallback.
uint32_t Scalar(const TiffDirectory& d, uint16_t tag, uint32_t fallback) {
    const auto e = d.Find(tag);
    std::vector<uint32_t> v;
    return e && Values(d, *e, kMaxSamples, v) ? v[0] : fallback;
}

// A RATIONAL value, rounded; 0 when absent or unreadable.
uint32_t Rational(const TiffDirectory& d, uint16_t tag) {
    const auto e = d.Find(tag);
    uint32_t num = 0, den = 0;
    if (!e || e->type != kTypeRational || e->count < 1 || !d.ReadRational(*e, num, den)) return 0;
    return den == 0
               ? 0
               : static_cast<uint32_t>(std::min<uint64_t>((uint64_t{num} + den / 2) / den, 65535));
}

int32_t ToDpi(uint32_t value, uint32_t unit) {
    return static_cast<int32_t>(unit == kResolutionUnitCentimetre ? (value * 254 + 50) / 100
                                                                  : value);
}

bool IsJpegForm(int32_t bits, int32_t compression) {
    return ((bits == 24 || bits == 8) && compression == kTiffJpeg) ||
           (bits == 8 && compression == kTiffOldJpeg);
}

// The tables that abbreviated JPEG strips leave out, without their end marker; none when the
// page has no readable JPEGTables (its strip then carries its own tables).
void ReadJpegTables(ColourDecoderState& s, const TiffDirectory& d) {
    s.jpeg_tables.clear();
    const auto e = d.Find(kTagJpegTables);
    if (!e || (e->type != kTypeUndefined && e->type != kTypeByte) || e->count <= 2 * kMarkerBytes ||
        e->count > kMaxJpegTablesBytes)
        return;
    std::vector<uint8_t> tables(e->count);
    if (!ColourSeek(s, d.Get32(e->field)) ||
        ColourRead(s, tables.data(), static_cast<int32_t>(e->count)) !=
            static_cast<int32_t>(e->count))
        return;
    const uint8_t* end = tables.data() + e->count - kMarkerBytes;
    if (tables[0] != 0xFF || tables[1] != 0xD8 || end[0] != 0xFF || end[1] != 0xD9) return;
    tables.resize(e->count - kMarkerBytes);
    s.jpeg_tables = std::move(tables);
}

int ReadStripArrays(ColourDecoderState& s, const TiffDirectory& d) {
    const auto offsets = d.Find(kTagStripOffsets);
    if (!offsets) return ColourFail(s, kErrTiffUnsupported);
    if (offsets->type != kTypeShort && offsets->type != kTypeLong)
        return ColourFail(s, kErrStripOffsetType);
    s.strip_offsets_type = static_cast<TiffFieldType>(offsets->type);
    if (!Values(d, *offsets, kMaxStrips, s.strip_offsets))
        return ColourFail(s, kErrTiffUnsupported);
    if (const auto counts = d.Find(kTagStripByteCounts)) {
        if (counts->type == kTypeShort || counts->type == kTypeLong)
            s.strip_byte_counts_type = static_cast<TiffFieldType>(counts->type);
        if (!Values(d, *counts, kMaxStrips, s.strip_byte_counts)) s.strip_byte_counts.clear();
    }
    return 0;
}

// PackBits data read through the state; runs may go on into the next row of a strip.
struct StatePackBits {
    ColourDecoderState& s;
    int NextByte() { return ColourReadByte(s); }
    bool Take(uint8_t* out, int32_t n) { return ColourRead(s, out, n) == n; }
};

// An 8-bit palette page: its colour map (all reds, all greens, all blues, 16 bits each) becomes
// the palette, so that the indices show their colours rather than grey levels.
int ReadColorMap(ColourDecoderState& s, const TiffDirectory& d) {
    const auto e = d.Find(kTagColorMap);
    std::vector<uint32_t> map;
    if (!e || e->type != kTypeShort || e->count != kColorMapValues ||
        !Values(d, *e, kColorMapValues, map))
        return ColourFail(s, kErrTiffUnsupported);
    s.palette_entries = kPaletteEntries;
    if (s.palette)
        for (int32_t i = 0; i < kPaletteEntries; ++i)
            for (int32_t c = 0; c < 3; ++c)
                (*s.palette)[i][c] = static_cast<uint8_t>(map[c * kPaletteEntries + i] >> 8);
    return 0;
}

}  // namespace

int ReadTiffColourHeader(ColourDecoderState& s) {
    const StateBytes bytes(s);
    TiffFileHeader file;
    switch (ReadTiffFileHeader(bytes, file)) {
        case TiffHeaderResult::kShort:
            return ColourFail(s, kErrRead);
        case TiffHeaderResult::kNoByteOrderMark:
            return ColourFail(s, kErrTiffByteOrder);
        case TiffHeaderResult::kOk:
            break;
    }
    std::strcpy(s.container_name, "TIFF");
    if (file.version != kTiffVersion) return ColourFail(s, kErrNotTiff);
    auto dir = std::make_unique<TiffDirectory>(bytes, file.order);
    const TiffDirectory& d = *dir;
    const int32_t index = s.tiff_directory_index;
    if (!WalkTiffDirectories(*dir, file.first_directory, [index](int32_t n) {
            return n > index ? WalkStep::kStop : WalkStep::kNext;
        }))
        return ColourFail(s, kErrTiffIfdOffset);
    s.width = static_cast<int32_t>(std::min<uint32_t>(Scalar(d, kTagImageWidth, 0), INT32_MAX));
    s.height = static_cast<int32_t>(std::min<uint32_t>(Scalar(d, kTagImageLength, 0), INT32_MAX));
    std::vector<uint32_t> bits;
    s.bits_per_pixel = 0;
    if (const auto e = d.Find(kTagBitsPerSample); e && Values(d, *e, kMaxSamples, bits))
        for (uint32_t b : bits)
            s.bits_per_pixel += static_cast<int32_t>(std::min(b, 255u));
    else
        s.bits_per_pixel = 1;
    s.compression = static_cast<int32_t>(Scalar(d, kTagCompression, kTiffUncompressed));
    s.photometric = static_cast<int32_t>(Scalar(d, kTagPhotometric, 1));
    s.rows_per_strip = static_cast<int32_t>(
        std::min<uint32_t>(Scalar(d, kTagRowsPerStrip, UINT32_MAX), INT32_MAX));
    const uint32_t unit = Scalar(d, kTagResolutionUnit, kResolutionUnitInch);
    s.x_resolution = ToDpi(Rational(d, kTagXResolution), unit);
    s.y_resolution = ToDpi(Rational(d, kTagYResolution), unit);
    if (s.width < 1 || s.height < 1 || s.width > kMaxColourDimension ||
        s.height > kMaxColourDimension)
        return ColourFail(s, kErrDimensions);
    const bool separate_planes = Scalar(d, kTagPlanarConfiguration, 1) == kPlanarSeparate;
    if (IsJpegForm(s.bits_per_pixel, s.compression)) {
        if (s.rows_per_strip < s.height) return ColourFail(s, kErrTiffUnsupported);
        if (ReadStripArrays(s, d) != 0) return -1;
        // The page is the JPEG stream of its only strip, after the page's tables if any.
        ReadJpegTables(s, d);
        s.start_offset += s.strip_offsets[0];
        ColourSeek(s, 0);
        std::strcpy(s.container_name, "JPEG");
        return ReadJpegContainerHeader(s);
    }
    const bool grey = s.bits_per_pixel == 8 &&
                      (s.compression == kTiffUncompressed || s.compression == kTiffPackBits);
    const bool rgb =
        s.bits_per_pixel == 24 && s.compression == kTiffUncompressed && !separate_planes;
    if (!grey && !rgb) return ColourFail(s, kErrTiffUnsupported);
    if (ReadStripArrays(s, d) != 0) return -1;
    if (s.rows_per_strip < 1) s.rows_per_strip = s.height;
    if (grey && s.photometric == kPhotometricPalette) return ReadColorMap(s, d);
    if (grey) {
        s.palette_entries = kPaletteEntries;
        if (s.palette)
            for (int32_t i = 0; i < kPaletteEntries; ++i)
                std::memset((*s.palette)[i], i, 3);
    }
    return 0;
}

int DecodeTiffColour(ColourDecoderState& s) {
    if (std::strcmp(s.container_name, "JPEG") == 0) return DecodeJpegContainer(s);
    const bool rgb = s.bits_per_pixel == 24;
    const PixelForm form = rgb                                    ? PixelForm::kRgb
                           : s.photometric == kPhotometricPalette ? PixelForm::kIndex
                                                                  : PixelForm::kGrey;
    ColourRowWriter writer(s, form, false);
    if (!writer.Ready()) return -1;
    const int32_t row_bytes = s.width * (rgb ? 3 : 1);
    std::vector<uint8_t> row;
    try {
        row.resize(static_cast<size_t>(row_bytes));
    } catch (const std::bad_alloc&) {
        return ColourFail(s, kErrNoMemory);
    }
    const bool invert = !rgb && s.photometric == kPhotometricMinIsWhite;
    const int32_t last_row = writer.LastUsefulRow();
    int32_t y = 0;
    RowBlockReader plain(s, row_bytes);
    for (size_t strip = 0; strip < s.strip_offsets.size() && y <= last_row; ++strip) {
        if (!ColourSeek(s, s.strip_offsets[strip])) break;
        PackBitsRun packbits;
        StatePackBits packed{s};
        plain.Drop();
        const int32_t strip_end = static_cast<int32_t>(
            std::min<int64_t>(static_cast<int64_t>(y) + s.rows_per_strip, s.height));
        const int32_t end = std::min(strip_end, last_row + 1);
        for (; y < end; ++y) {
            const uint8_t* pixels = row.data();
            bool ok = true;
            if (s.compression == kTiffPackBits)
                ok = packbits.Fill(packed, row.data(), row_bytes);
            else
                ok = (pixels = plain.Next(end - y)) != nullptr;
            if (!ok) {
                writer.Finish();
                return ColourFail(s, kErrUnexpectedEnd);
            }
            if (invert) {
                for (int32_t i = 0; i < row_bytes; ++i)
                    row[i] = static_cast<uint8_t>(255 - pixels[i]);
                pixels = row.data();
            }
            if (!writer.PutRow(y, pixels)) return -1;
        }
    }
    if (!writer.Finish()) return -1;
    return y > last_row ? 0 : ColourFail(s, kErrUnexpectedEnd);
}

}  // namespace pixdoc
