#include "imaging/files/tiff_directory.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

#include "imaging/files/byte_order.h"
#include "imaging/files/colour_probe.h"
#include "imaging/files/header_state.h"
#include "imaging/files/orientation.h"

namespace pixdoc::files {
namespace {

enum Tag : uint16_t {
    kImageWidth = 256,
    kImageLength = 257,
    kBitsPerSample = 258,
    kCompression = 259,
    kPhotometric = 262,
    kFillOrder = 266,
    kStripOffsets = 273,
    kOrientation = 274,
    kRowsPerStrip = 278,
    kStripByteCounts = 279,
    kXResolution = 282,
    kYResolution = 283,
    kT4Options = 292,
    kTileWidth = 322,
};

enum FieldType : uint16_t { kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5 };

constexpr uint32_t kMinResolution = 32;
constexpr uint32_t kMaxResolution = 2048;
constexpr int32_t kDefaultResolution = 100;
constexpr uint32_t kPhotometricBlackIsZero = 1;  // a set bit is white: the page is negative
constexpr int32_t kCodeUncompressed = 3;
constexpr int32_t kCodeGroup3OneD = 0;
constexpr int32_t kCodeGroup3TwoD = 2;
constexpr int32_t kCodeModifiedHuffman = 5;

// Bilevel code for a TIFF Compression value, or -1 when the decoder has none.
int32_t CodeForCompression(uint32_t compression) {
    switch (compression) {
        case 1:
            return kCodeUncompressed;
        case 2:
            return kCodeModifiedHuffman;
        case 3:
            return kCodeGroup3OneD;
        case 4:
            return 1;
        case 32773:
            return 10;
        default:
            return -1;
    }
}

int32_t ClampToInt(uint32_t v) {
    return static_cast<int32_t>(std::min<uint32_t>(v, std::numeric_limits<int32_t>::max()));
}

struct Entry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    const uint8_t* field;  // the 4-byte value or offset
};

// One directory read into the 2048-byte buffer, with the byte order in force.
class Directory {
public:
    Directory(const ProbeSource& source, ByteOrder order) : source_(source), order_(order) {}

    // Reads the directory at offset; false when it cannot be reached or is too short.
    bool Load(uint32_t offset) {
        offset_ = offset;
        std::memset(buffer_, 0, sizeof buffer_);
        valid_ = ReadAt(source_, offset, buffer_, kDirectoryBufferSize);
        return valid_ >= kMinDirectoryBytes;
    }

    // Entry count, switching to big-endian when the little-endian count is implausible.
    int32_t EntryCount() {
        uint16_t count = Get16(buffer_, order_);
        if (count > kByteOrderSwitchCount) {
            order_ = ByteOrder::kBig;
            count = Get16(buffer_, order_);
        }
        return count;
    }

    // Offset of the next directory; the buffer is zero beyond what was read.
    uint32_t NextDirectory(int32_t count) const {
        return Get32(buffer_ + 2 + count * kEntrySize, order_);
    }

    Entry EntryAt(int32_t i) const {
        const uint8_t* p = buffer_ + 2 + i * kEntrySize;
        return {Get16(p, order_), Get16(p + 2, order_), Get32(p + 4, order_), p + 8};
    }

    // The single value of an entry by its type, or for larger counts the offset of the values.
    uint32_t Value(const Entry& e) const {
        if (e.count > 1) return Get32(e.field, order_);
        switch (e.type) {
            case kByte:
                return e.field[0];
            case kShort:
                return Get16(e.field, order_);
            case kAscii:
            case kLong:
            case kRational:
                return Get32(e.field, order_);
            default:
                return 0;
        }
    }

    // Fills out[0..n) from a SHORT or LONG array; other types, and values beyond the end of
    // the file, give 0. The array is read in one piece (at most 256 KiB).
    void ReadArray(const Entry& e, uint32_t n, uint32_t* out) const {
        std::fill(out, out + n, 0u);
        const uint32_t size = e.type == kShort ? 2 : e.type == kLong ? 4 : 0;
        if (size == 0) return;
        n = std::min(n, e.count);
        const uint64_t bytes = uint64_t{n} * size;
        std::vector<uint8_t> raw(bytes);
        uint64_t got = bytes;
        // Values that fit in the 4-byte field are stored there, not behind an offset.
        if (uint64_t{e.count} * size <= 4)
            std::memcpy(raw.data(), e.field, bytes);
        else
            got = FetchUpTo(Get32(e.field, order_), raw.data(), bytes);
        for (uint32_t i = 0; i < n && (i + 1) * uint64_t{size} <= got; ++i)
            out[i] = size == 2 ? Get16(&raw[i * size], order_) : Get32(&raw[i * size], order_);
    }

    // A RATIONAL divided out (a zero denominator counts as 1); other types give their value.
    uint32_t Ratio(const Entry& e) const {
        if (e.type != kRational) return Value(e);
        uint8_t bytes[8] = {};
        if (!Fetch(Get32(e.field, order_), bytes, sizeof bytes)) return 0;
        const uint32_t numerator = Get32(bytes, order_);
        const uint32_t denominator = Get32(bytes + 4, order_);
        return numerator / (denominator == 0 ? 1 : denominator);
    }

private:
    // Up to size bytes at a file offset; returns how many could be had.
    uint64_t FetchUpTo(uint64_t at, uint8_t* out, uint64_t size) const {
        if (InBuffer(at, size)) {
            std::memcpy(out, buffer_ + (at - offset_), size);
            return size;
        }
        const int32_t n =
            ReadAt(source_, static_cast<int64_t>(at), out, static_cast<int32_t>(size));
        return n < 0 ? 0 : static_cast<uint64_t>(n);
    }

    // True when the bytes lie within the directory buffer's value window.
    bool InBuffer(uint64_t at, uint64_t size) const {
        const int64_t window = std::min(kDirectoryValueWindow, valid_);
        return at >= offset_ && at + size <= offset_ + static_cast<uint64_t>(window);
    }

    // Bytes at a file offset: from the buffer when they lie within it, else read from the file.
    bool Fetch(uint64_t at, uint8_t* out, int32_t size) const {
        if (InBuffer(at, size)) {
            std::memcpy(out, buffer_ + (at - offset_), size);
            return true;
        }
        return at <= std::numeric_limits<uint32_t>::max() &&
               ReadWhole(source_, static_cast<int64_t>(at), out, size);
    }

    const ProbeSource& source_;
    ByteOrder order_;
    uint32_t offset_ = 0;
    int32_t valid_ = 0;
    uint8_t buffer_[kDirectoryBufferSize];
};

// Header fields gathered from one directory before they are committed to the record.
class PageReader {
public:
    PageReader(const ProbeSource& source, const Directory& dir, ImageHeader& page)
        : source_(source), dir_(dir), page_(page) {}
    ~PageReader() { FreeStripTable(table_); }

    bool Read(int32_t entry_count) {
        for (int32_t i = 0; i < entry_count; ++i) {
            const Entry e = dir_.EntryAt(i);
            if (e.count > kMaxValueCount) continue;
            if (!Apply(e)) return false;
        }
        // Without a Compression entry a TIFF page is stored uncompressed.
        if (bilevel_ && !compression_seen_) page_.compression = kCodeUncompressed;
        return true;
    }

    bool bilevel() const { return bilevel_; }
    bool negative() const { return negative_; }
    // Hands the strip table over to the caller (null when the page has one strip).
    PixdocStripTable* TakeStripTable() { return std::exchange(table_, nullptr); }

private:
    bool Apply(const Entry& e) {
        const uint32_t value = dir_.Value(e);
        switch (e.tag) {
            case kImageWidth:
                page_.width = ClampToInt(value);
                return true;
            case kImageLength:
                page_.height = ClampToInt(value);
                return true;
            case kBitsPerSample:
                if (value != 1) bilevel_ = false;
                return true;
            case kCompression:
                return SetCompression(value);
            case kPhotometric:
                if (value == kPhotometricBlackIsZero) negative_ = true;
                return true;
            case kFillOrder:
                // Only the two defined fill orders; anything else keeps the default.
                if (value == 1 || value == 2) page_.fill_order = static_cast<int32_t>(value) - 1;
                return true;
            case kStripOffsets:
                return SetStripOffsets(e, value);
            case kOrientation: {
                const int32_t turns = TurnsForOrientation(value);
                if (turns >= 0) page_.orientation = turns;
                return true;
            }
            case kRowsPerStrip:
                if (table_) table_->rows_per_strip = ClampToInt(value);
                return true;
            case kStripByteCounts:
                return SetStripByteCounts(e, value);
            case kXResolution:
                SetXResolution(dir_.Ratio(e));
                return true;
            case kYResolution:
                SetYResolution(dir_.Ratio(e));
                return true;
            case kT4Options:
                if ((value == 1 || value == 5) && (page_.compression == kCodeGroup3OneD ||
                                                   page_.compression == kCodeModifiedHuffman))
                    page_.compression = kCodeGroup3TwoD;
                return true;
            case kTileWidth:
                return false;  // tiled pages are not read
            default:
                return true;  // includes the window-only redaction record 34600
        }
    }

    bool SetCompression(uint32_t value) {
        compression_seen_ = true;
        const int32_t code = CodeForCompression(value);
        if (code < 0) return !bilevel_;
        page_.compression = code;
        return true;
    }

    bool SetStripOffsets(const Entry& e, uint32_t value) {
        if (e.count <= 1) {
            page_.data_offset = static_cast<intptr_t>(value);
            return true;
        }
        if (source_.memory || !bilevel_) return false;
        FreeStripTable(table_);
        table_ = NewStripTable(static_cast<int32_t>(e.count));
        if (!table_) return false;
        dir_.ReadArray(e, e.count, table_->strip_offsets);
        return true;
    }

    bool SetStripByteCounts(const Entry& e, uint32_t value) {
        if (e.count <= 1) {
            page_.data_byte_count = ClampToInt(value);
            return true;
        }
        if (!table_) return false;
        // Never beyond the strips the table was made for.
        dir_.ReadArray(e, static_cast<uint32_t>(table_->strip_count), table_->strip_byte_counts);
        return true;
    }

    void SetXResolution(uint32_t dpi) {
        page_.x_resolution = dpi < kMinResolution || dpi > kMaxResolution
                                 ? kDefaultResolution
                                 : static_cast<int32_t>(dpi);
    }

    void SetYResolution(uint32_t dpi) {
        page_.y_resolution = dpi < kMinResolution || dpi > kMaxResolution
                                 ? page_.x_resolution
                                 : static_cast<int32_t>(dpi);
    }

    const ProbeSource& source_;
    const Directory& dir_;
    ImageHeader& page_;
    PixdocStripTable* table_ = nullptr;
    bool bilevel_ = true;
    bool compression_seen_ = false;
    bool negative_ = false;
};

// Finds the directory of page target counting from first; on success dir holds it loaded.
// Each directory is visited at most once, so a chain that loops back ends the walk.
bool FindDirectory(Directory& dir, uint32_t first, int32_t target, int32_t& entry_count,
                   uint32_t& next) {
    std::unordered_set<uint32_t> visited;
    uint32_t offset = first;
    for (int32_t current = 1;; ++current) {
        if (offset < kFirstDirectoryOffset || !visited.insert(offset).second) return false;
        if (!dir.Load(offset)) return false;
        entry_count = dir.EntryCount();
        if (entry_count < kMinEntries || entry_count > kMaxEntries) return false;
        next = dir.NextDirectory(entry_count);
        if (current >= target) return true;
        offset = next;
    }
}

// Reads the page at a loaded directory into header (committed only on success).
bool ReadPage(const ProbeSource& source, const Directory& dir, int32_t entry_count,
              ImageHeader& header) {
    HeaderModuleState& state = HeaderState();
    ImageHeader page = header;
    PageReader reader(source, dir, page);
    if (!reader.Read(entry_count)) return false;
    if (!reader.bilevel()) {
        if (!ProbeColourHeader(source, page.data_offset, page)) return false;
    } else if (PixdocStripTable* table = reader.TakeStripTable()) {
        page.compression += kMultiStripCodeOffset;
        page.data_offset = reinterpret_cast<intptr_t>(table);
        // No image window is current here, so the library keeps the table until the next walk.
        state.leftover_strip_table = table;
    }
    if (reader.negative()) state.negative = 1;
    header = page;
    return true;
}

bool ReadFileHeader(const ProbeSource& source, ByteOrder& order, uint32_t& first) {
    uint8_t head[8];
    if (!ReadWhole(source, 0, head, sizeof head)) return false;
    if (head[0] == 'I' && head[1] == 'I')
        order = ByteOrder::kLittle;
    else if (head[0] == 'M' && head[1] == 'M')
        order = ByteOrder::kBig;
    else
        return false;
    if (Get16(head + 2, order) < kTiffVersion) return false;
    first = Get32(head + 4, order);
    return true;
}

void ForgetLeftoverStripTable() {
    HeaderModuleState& state = HeaderState();
    FreeStripTable(state.leftover_strip_table);
    state.leftover_strip_table = nullptr;
}

}  // namespace

bool WalkTiffPage(const ProbeSource& source, int32_t page, ImageHeader& header) {
    ForgetLeftoverStripTable();
    ByteOrder order = ByteOrder::kLittle;
    uint32_t first = 0;
    if (!ReadFileHeader(source, order, first)) return false;
    PageCursorCache& cursor = PageCursor();
    int32_t target = page;
    if (cursor.page != 0 && page == cursor.page + 1) {
        first = cursor.next_directory;
        target = 1;
    }
    auto dir = std::make_unique<Directory>(source, order);
    int32_t entry_count = 0;
    uint32_t next = 0;
    if (!FindDirectory(*dir, first, target, entry_count, next)) return false;
    cursor.page = page;
    cursor.next_directory = next;
    return ReadPage(source, *dir, entry_count, header);
}

bool ReadTiffDirectoryAt(const ProbeSource& source, uint32_t directory, ImageHeader& header) {
    ForgetLeftoverStripTable();
    auto dir = std::make_unique<Directory>(source, ByteOrder::kLittle);
    int32_t entry_count = 0;
    uint32_t next = 0;
    if (!FindDirectory(*dir, directory, 1, entry_count, next)) return false;
    return ReadPage(source, *dir, entry_count, header);
}

}  // namespace pixdoc::files
