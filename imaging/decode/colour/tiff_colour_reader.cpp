// Colour and grey TIFF pages: 8-bit grey uncompressed or PackBits, 24-bit RGB uncompressed, and
// single-strip JPEG pages handed to the JPEG reader. Everything else is refused (error 71).
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

constexpr uint16_t kTiffVersion = 42;
constexpr int32_t kEntrySize = 12;
constexpr int32_t kMaxEntries = 4096;
constexpr int32_t kMaxSamples = 16;
// Strips never outnumber rows; this also bounds the strip arrays of a damaged directory.
constexpr uint32_t kMaxStrips = kMaxColourDimension;
// A directory chain longer than this is taken to be a loop.
constexpr int32_t kMaxDirectoryIndex = 65535;

enum Tag : uint16_t {
    kImageWidth = 256,
    kImageLength = 257,
    kBitsPerSample = 258,
    kCompression = 259,
    kPhotometric = 262,
    kStripOffsets = 273,
    kRowsPerStrip = 278,
    kStripByteCounts = 279,
    kXResolution = 282,
    kYResolution = 283,
    kPlanarConfiguration = 284,
    kResolutionUnit = 296,
    kColorMap = 320,
    kJpegTables = 347,
};
enum Type : uint16_t { kByte = 1, kShort = 3, kLong = 4, kRational = 5, kUndefined = 7 };
enum Compression : int32_t {
    kNone = 1,
    kOldJpeg = 6,
    kJpeg = 7,
    kPackBits = 32773,
};
constexpr int32_t kWhiteIsZero = 0;
constexpr int32_t kPaletteColour = 3;
constexpr uint32_t kColorMapValues = 3 * kPaletteEntries;
// JPEGTables: quantisation and Huffman tables between a start and an end marker.
constexpr uint32_t kMaxJpegTablesBytes = 65536;
constexpr uint32_t kMarkerBytes = 2;
constexpr int32_t kPlanarSeparate = 2;
constexpr int32_t kUnitCentimetre = 3;

struct Entry {
    uint16_t tag, type;
    uint32_t count;
    uint8_t value[4];
};

class Directory {
public:
    Directory(ColourDecoderState& s, bool big_endian) : s_(s), big_(big_endian) {}

    uint16_t U16(const uint8_t* p) const { return big_ ? Be16(p) : Le16(p); }
    uint32_t U32(const uint8_t* p) const { return big_ ? Be32(p) : Le32(p); }

    bool Load(uint32_t offset) {
        uint8_t n[2];
        if (!ColourSeek(s_, offset) || ColourRead(s_, n, 2) != 2) return false;
        const int32_t count = U16(n);
        if (count < 1 || count > kMaxEntries) return false;
        std::vector<uint8_t> raw(static_cast<size_t>(count) * kEntrySize);
        if (ColourRead(s_, raw.data(), static_cast<int32_t>(raw.size())) !=
            static_cast<int32_t>(raw.size()))
            return false;
        entries_.resize(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            const uint8_t* e = raw.data() + i * kEntrySize;
            entries_[i] = {U16(e), U16(e + 2), U32(e + 4), {e[8], e[9], e[10], e[11]}};
        }
        uint8_t next[4];
        next_ = ColourRead(s_, next, 4) == 4 ? U32(next) : 0;
        return true;
    }
    uint32_t Next() const { return next_; }

    const Entry* Find(uint16_t tag) const {
        for (const Entry& e : entries_)
            if (e.tag == tag) return &e;
        return nullptr;
    }

    static int32_t TypeSize(uint16_t type) {
        switch (type) {
            case kByte:
                return 1;
            case kShort:
                return 2;
            case kLong:
                return 4;
            case kRational:
                return 8;
            default:
                return 0;
        }
    }

    // Reads up to max_count integer values of a BYTE, SHORT or LONG entry.
    bool Values(const Entry& e, uint32_t max_count, std::vector<uint32_t>& out) {
        const int32_t size = TypeSize(e.type);
        if (size == 0 || size > 4 || e.count == 0 || e.count > max_count) return false;
        const int64_t bytes = static_cast<int64_t>(e.count) * size;
        std::vector<uint8_t> raw(static_cast<size_t>(bytes));
        if (bytes <= 4) {
            std::memcpy(raw.data(), e.value, static_cast<size_t>(bytes));
        } else if (!ColourSeek(s_, U32(e.value)) ||
                   ColourRead(s_, raw.data(), static_cast<int32_t>(bytes)) != bytes) {
            return false;
        }
        out.resize(e.count);
        for (uint32_t i = 0; i < e.count; ++i) {
            const uint8_t* p = raw.data() + i * size;
            out[i] = size == 1 ? *p : size == 2 ? U16(p) : U32(p);
        }
        return true;
    }

    uint32_t Scalar(uint16_t tag, uint32_t fallback) {
        const Entry* e = Find(tag);
        std::vector<uint32_t> v;
        return e && Values(*e, kMaxSamples, v) ? v[0] : fallback;
    }

    // A RATIONAL value, rounded; 0 when absent or unreadable.
    uint32_t Rational(uint16_t tag) {
        const Entry* e = Find(tag);
        uint8_t r[8];
        if (!e || e->type != kRational || e->count < 1 || !ColourSeek(s_, U32(e->value)) ||
            ColourRead(s_, r, 8) != 8)
            return 0;
        const uint64_t num = U32(r), den = U32(r + 4);
        return den == 0 ? 0
                        : static_cast<uint32_t>(std::min<uint64_t>((num + den / 2) / den, 65535));
    }

private:
    ColourDecoderState& s_;
    bool big_;
    std::vector<Entry> entries_;
    uint32_t next_ = 0;
};

int32_t ToDpi(uint32_t value, uint32_t unit) {
    return static_cast<int32_t>(unit == kUnitCentimetre ? (value * 254 + 50) / 100 : value);
}

bool IsJpegForm(int32_t bits, int32_t compression) {
    return ((bits == 24 || bits == 8) && compression == kJpeg) ||
           (bits == 8 && compression == kOldJpeg);
}

// The tables that abbreviated JPEG strips leave out, without their end marker; none when the
// page has no readable JPEGTables (its strip then carries its own tables).
void ReadJpegTables(ColourDecoderState& s, Directory& d) {
    s.jpeg_tables.clear();
    const Entry* e = d.Find(kJpegTables);
    if (!e || (e->type != kUndefined && e->type != kByte) || e->count <= 2 * kMarkerBytes ||
        e->count > kMaxJpegTablesBytes)
        return;
    std::vector<uint8_t> tables(e->count);
    if (!ColourSeek(s, d.U32(e->value)) ||
        ColourRead(s, tables.data(), static_cast<int32_t>(e->count)) !=
            static_cast<int32_t>(e->count))
        return;
    const uint8_t* end = tables.data() + e->count - kMarkerBytes;
    if (tables[0] != 0xFF || tables[1] != 0xD8 || end[0] != 0xFF || end[1] != 0xD9) return;
    tables.resize(e->count - kMarkerBytes);
    s.jpeg_tables = std::move(tables);
}

int ReadStripArrays(ColourDecoderState& s, Directory& d) {
    const Entry* offsets = d.Find(kStripOffsets);
    if (!offsets) return ColourFail(s, kErrTiffUnsupported);
    if (offsets->type != kShort && offsets->type != kLong)
        return ColourFail(s, kErrStripOffsetType);
    s.strip_offsets_type = static_cast<TiffFieldType>(offsets->type);
    if (!d.Values(*offsets, kMaxStrips, s.strip_offsets)) return ColourFail(s, kErrTiffUnsupported);
    if (const Entry* counts = d.Find(kStripByteCounts)) {
        if (counts->type == kShort || counts->type == kLong)
            s.strip_byte_counts_type = static_cast<TiffFieldType>(counts->type);
        if (!d.Values(*counts, kMaxStrips, s.strip_byte_counts)) s.strip_byte_counts.clear();
    }
    return 0;
}

// PackBits run state, kept across rows: runs may continue into the next row of a strip.
struct PackBits {
    int32_t literal_left = 0, repeat_left = 0;
    uint8_t repeat_value = 0;

    bool Fill(ColourDecoderState& s, uint8_t* out, int32_t count) {
        int32_t done = 0;
        while (done < count) {
            if (repeat_left > 0) {
                const int32_t n = std::min(repeat_left, count - done);
                std::memset(out + done, repeat_value, static_cast<size_t>(n));
                done += n;
                repeat_left -= n;
            } else if (literal_left > 0) {
                const int32_t n = std::min(literal_left, count - done);
                if (ColourRead(s, out + done, n) != n) return false;
                done += n;
                literal_left -= n;
            } else {
                const int b = ColourReadByte(s);
                if (b < 0) return false;
                const int8_t n = static_cast<int8_t>(b);
                if (n >= 0) {
                    literal_left = n + 1;
                } else if (n != -128) {
                    const int v = ColourReadByte(s);
                    if (v < 0) return false;
                    repeat_left = 1 - n;
                    repeat_value = static_cast<uint8_t>(v);
                }
            }
        }
        return true;
    }
};

// An 8-bit palette page: its colour map (all reds, all greens, all blues, 16 bits each) becomes
// the palette, so that the indices show their colours rather than grey levels.
int ReadColorMap(ColourDecoderState& s, Directory& d) {
    const Entry* e = d.Find(kColorMap);
    std::vector<uint32_t> map;
    if (!e || e->type != kShort || e->count != kColorMapValues ||
        !d.Values(*e, kColorMapValues, map))
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
    uint8_t h[8];
    ColourSeek(s, 0);
    if (ColourRead(s, h, 8) != 8) return ColourFail(s, kErrRead);
    const bool big = h[0] == 'M' && h[1] == 'M';
    if (!big && !(h[0] == 'I' && h[1] == 'I')) return ColourFail(s, kErrTiffByteOrder);
    std::strcpy(s.container_name, "TIFF");
    Directory d(s, big);
    if (d.U16(h + 2) != kTiffVersion) return ColourFail(s, kErrNotTiff);
    uint32_t offset = d.U32(h + 4);
    for (int32_t i = 0;; ++i) {
        if (offset == 0 || i > kMaxDirectoryIndex || !d.Load(offset))
            return ColourFail(s, kErrTiffIfdOffset);
        if (i >= s.tiff_directory_index) break;
        offset = d.Next();
    }
    s.width = static_cast<int32_t>(std::min<uint32_t>(d.Scalar(kImageWidth, 0), INT32_MAX));
    s.height = static_cast<int32_t>(std::min<uint32_t>(d.Scalar(kImageLength, 0), INT32_MAX));
    std::vector<uint32_t> bits;
    s.bits_per_pixel = 0;
    if (const Entry* e = d.Find(kBitsPerSample); e && d.Values(*e, kMaxSamples, bits))
        for (uint32_t b : bits)
            s.bits_per_pixel += static_cast<int32_t>(std::min(b, 255u));
    else
        s.bits_per_pixel = 1;
    s.compression = static_cast<int32_t>(d.Scalar(kCompression, kNone));
    s.photometric = static_cast<int32_t>(d.Scalar(kPhotometric, 1));
    s.rows_per_strip =
        static_cast<int32_t>(std::min<uint32_t>(d.Scalar(kRowsPerStrip, UINT32_MAX), INT32_MAX));
    const uint32_t unit = d.Scalar(kResolutionUnit, 2);
    s.x_resolution = ToDpi(d.Rational(kXResolution), unit);
    s.y_resolution = ToDpi(d.Rational(kYResolution), unit);
    if (s.width < 1 || s.height < 1 || s.width > kMaxColourDimension ||
        s.height > kMaxColourDimension)
        return ColourFail(s, kErrDimensions);
    const bool separate_planes = d.Scalar(kPlanarConfiguration, 1) == kPlanarSeparate;
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
    const bool grey =
        s.bits_per_pixel == 8 && (s.compression == kNone || s.compression == kPackBits);
    const bool rgb = s.bits_per_pixel == 24 && s.compression == kNone && !separate_planes;
    if (!grey && !rgb) return ColourFail(s, kErrTiffUnsupported);
    if (ReadStripArrays(s, d) != 0) return -1;
    if (s.rows_per_strip < 1) s.rows_per_strip = s.height;
    if (grey && s.photometric == kPaletteColour) return ReadColorMap(s, d);
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
    const PixelForm form = rgb                               ? PixelForm::kRgb
                           : s.photometric == kPaletteColour ? PixelForm::kIndex
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
    const bool invert = !rgb && s.photometric == kWhiteIsZero;
    const int32_t last_row = writer.LastUsefulRow();
    int32_t y = 0;
    RowBlockReader plain(s, row_bytes);
    for (size_t strip = 0; strip < s.strip_offsets.size() && y <= last_row; ++strip) {
        if (!ColourSeek(s, s.strip_offsets[strip])) break;
        PackBits packbits;
        plain.Drop();
        const int32_t strip_end = static_cast<int32_t>(
            std::min<int64_t>(static_cast<int64_t>(y) + s.rows_per_strip, s.height));
        const int32_t end = std::min(strip_end, last_row + 1);
        for (; y < end; ++y) {
            const uint8_t* pixels = row.data();
            bool ok = true;
            if (s.compression == kPackBits)
                ok = packbits.Fill(s, row.data(), row_bytes);
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
