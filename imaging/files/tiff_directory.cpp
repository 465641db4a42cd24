#include "imaging/files/tiff_directory.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "imaging/decode/tiff_directory_reader.h"
#include "imaging/files/colour_probe.h"
#include "imaging/files/header_state.h"
#include "imaging/files/orientation.h"

namespace pixdoc::files {
namespace {

constexpr uint32_t kMinResolution = 32;
constexpr uint32_t kMaxResolution = 2048;
constexpr int32_t kDefaultResolution = 100;

// Bilevel code for a TIFF Compression value, or -1 when the decoder has none.
int32_t CodeForCompression(uint32_t compression) {
    switch (compression) {
        case kTiffUncompressed:
            return PX_CODE_UNCOMPRESSED;
        case kTiffModifiedHuffman:
            return PX_CODE_MODIFIED_HUFFMAN;
        case kTiffGroup3:
            return PX_CODE_GROUP3_1D;
        case kTiffGroup4:
            return PX_CODE_GROUP4;
        case kTiffPackBits:
            return PX_CODE_PACKBITS;
        default:
            return -1;
    }
}

// Values that say nothing leave the orientation as it was.
void ApplyOrientation(uint32_t value, ImageHeader& header) {
    const int32_t turns = TurnsForOrientation(value);
    if (turns >= 0) header.orientation = turns;
}

int32_t ClampToInt(uint32_t v) {
    return static_cast<int32_t>(std::min<uint32_t>(v, std::numeric_limits<int32_t>::max()));
}

// Header fields gathered from one directory before they are committed to the record.
class PageReader {
public:
    PageReader(const ProbeSource& source, const TiffDirectory& dir, ImageHeader& page)
        : source_(source), dir_(dir), page_(page) {}
    ~PageReader() { FreeStripTable(table_); }

    bool Read() {
        for (int32_t i = 0; i < dir_.entry_count(); ++i) {
            const TiffEntry e = dir_.EntryAt(i);
            if (e.count > kMaxValueCount) continue;
            if (!Apply(e)) return false;
        }
        // Without a Compression entry a TIFF page is stored uncompressed.
        if (bilevel_ && !compression_seen_) page_.compression = PX_CODE_UNCOMPRESSED;
        return true;
    }

    bool bilevel() const { return bilevel_; }
    bool negative() const { return negative_; }
    // Hands the strip table over to the caller (null when the page has one strip).
    PixdocStripTable* TakeStripTable() { return std::exchange(table_, nullptr); }

private:
    bool Apply(const TiffEntry& e) {
        const uint32_t value = dir_.Value(e);
        switch (e.tag) {
            case kTagImageWidth:
                page_.width = ClampToInt(value);
                return true;
            case kTagImageLength:
                page_.height = ClampToInt(value);
                return true;
            case kTagBitsPerSample:
                if (value != 1) bilevel_ = false;
                return true;
            case kTagCompression:
                return SetCompression(value);
            case kTagPhotometric:
                if (value == kPhotometricMinIsBlack) negative_ = true;  // a set bit is white
                return true;
            case kTagFillOrder:
                // Only the two defined fill orders; anything else keeps the default.
                if (value == kFillOrderMsbFirst || value == kFillOrderLsbFirst)
                    page_.fill_order = static_cast<int32_t>(value) - kFillOrderMsbFirst;
                return true;
            case kTagStripOffsets:
                return SetStripOffsets(e, value);
            case kTagOrientation:
                ApplyOrientation(value, page_);
                return true;
            case kTagRowsPerStrip:
                if (table_) table_->rows_per_strip = ClampToInt(value);
                return true;
            case kTagStripByteCounts:
                return SetStripByteCounts(e, value);
            case kTagXResolution:
                SetXResolution(Ratio(e));
                return true;
            case kTagYResolution:
                SetYResolution(Ratio(e));
                return true;
            case kTagT4Options:
                if ((value == 1 || value == 5) && (page_.compression == PX_CODE_GROUP3_1D ||
                                                   page_.compression == PX_CODE_MODIFIED_HUFFMAN))
                    page_.compression = PX_CODE_GROUP3_2D;
                return true;
            case kTagTileWidth:
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

    bool SetStripOffsets(const TiffEntry& e, uint32_t value) {
        if (e.count <= 1) {
            page_.data_offset = static_cast<intptr_t>(value);
            return true;
        }
        if (source_.memory || !bilevel_) return false;
        FreeStripTable(table_);
        table_ = NewStripTable(static_cast<int32_t>(e.count));
        if (!table_) return false;
        ReadArray(e, e.count, table_->strip_offsets);
        return true;
    }

    bool SetStripByteCounts(const TiffEntry& e, uint32_t value) {
        if (e.count <= 1) {
            page_.data_byte_count = ClampToInt(value);
            return true;
        }
        if (!table_) return false;
        // Never beyond the strips the table was made for.
        ReadArray(e, static_cast<uint32_t>(table_->strip_count), table_->strip_byte_counts);
        return true;
    }

    // Fills out[0..n) from a SHORT or LONG array; other types, and values beyond the end of
    // the file, give 0.
    void ReadArray(const TiffEntry& e, uint32_t n, uint32_t* out) const {
        std::fill(out, out + n, 0u);
        if (e.type == kTypeShort || e.type == kTypeLong) dir_.ReadValues(e, n, out);
    }

    // A RATIONAL divided out (a zero denominator counts as 1; 0 when unreadable); other types
    // give their value.
    uint32_t Ratio(const TiffEntry& e) const {
        if (e.type != kTypeRational) return dir_.Value(e);
        uint32_t numerator = 0, denominator = 0;
        if (!dir_.ReadRational(e, numerator, denominator)) return 0;
        return numerator / (denominator == 0 ? 1 : denominator);
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
    const TiffDirectory& dir_;
    ImageHeader& page_;
    PixdocStripTable* table_ = nullptr;
    bool bilevel_ = true;
    bool compression_seen_ = false;
    bool negative_ = false;
};

// A page that is not bilevel and whose data is no container of its own (rows in one strip or
// several): the file's colour TIFF reader describes it from the file's start, as page 1 is
// described when the walk gives up, but at its own directory and with its orientation.
bool ReadColourTiffPage(const ProbeSource& source, const TiffDirectory& dir, int32_t directory,
                        ImageHeader& header) {
    ImageHeader page = header;
    if (directory < 0 || !ProbeColourHeader(source, 0, page, directory)) return false;
    if (const auto e = dir.Find(kTagOrientation)) ApplyOrientation(dir.Value(*e), page);
    header = page;
    return true;
}

// Reads the page at a loaded directory, the `directory`-th of the file from 0 (-1 when not
// known), into header (committed only on success).
bool ReadPage(const ProbeSource& source, const TiffDirectory& dir, int32_t directory,
              ImageHeader& header) {
    HeaderModuleState& state = HeaderState();
    ImageHeader page = header;
    PageReader reader(source, dir, page);
    const bool read = reader.Read();
    if (!reader.bilevel()) {
        // A strip that holds a JPEG stream is described as that stream.
        if (!read || !ProbeColourHeader(source, page.data_offset, page))
            return ReadColourTiffPage(source, dir, directory, header);
    } else if (!read) {
        return false;
    } else if (PixdocStripTable* table = reader.TakeStripTable()) {
        page.compression += PX_CODE_MULTI_STRIP;
        page.data_offset = reinterpret_cast<intptr_t>(table);
        // No image window is current here, so the library keeps the table until the next walk.
        state.leftover_strip_table = table;
    }
    if (reader.negative()) state.negative = 1;
    header = page;
    return true;
}

bool ReadFileHeader(const TiffBytes& bytes, ByteOrder& order, uint32_t& first) {
    TiffFileHeader file;
    if (ReadTiffFileHeader(bytes, file) != TiffHeaderResult::kOk) return false;
    if (file.version < kTiffVersion) return false;
    order = file.order;
    first = file.first_directory;
    return true;
}

// Loads the directory of page `target`, counting from `first` as page 1.
bool FindDirectory(TiffDirectory& dir, uint32_t first, int32_t target) {
    return WalkTiffDirectories(dir, first, [target](int32_t n) {
        return n >= target ? WalkStep::kStop : WalkStep::kNext;
    });
}

void ForgetLeftoverStripTable() {
    HeaderModuleState& state = HeaderState();
    FreeStripTable(state.leftover_strip_table);
    state.leftover_strip_table = nullptr;
}

}  // namespace

bool WalkTiffPage(const ProbeSource& source, int32_t page, ImageHeader& header) {
    ForgetLeftoverStripTable();
    const ProbeBytes bytes(source);
    ByteOrder order = ByteOrder::kLittle;
    uint32_t first = 0;
    if (!ReadFileHeader(bytes, order, first)) return false;
    PageCursorCache& cursor = PageCursor();
    int32_t target = page;
    // A remembered end of the chain is not trusted: a page appended since may have been linked
    // in place, which leaves the file's size as it was.
    if (cursor.page != 0 && page == cursor.page + 1 &&
        cursor.next_directory >= kFirstDirectoryOffset) {
        first = cursor.next_directory;
        target = 1;
    }
    auto dir = std::make_unique<TiffDirectory>(bytes, order);
    if (!FindDirectory(*dir, first, target)) return false;
    cursor.page = page;
    cursor.next_directory = dir->next_directory();
    return ReadPage(source, *dir, page - 1, header);
}

bool ReadTiffDirectoryAt(const ProbeSource& source, uint32_t directory, ImageHeader& header) {
    ForgetLeftoverStripTable();
    const ProbeBytes bytes(source);
    auto dir = std::make_unique<TiffDirectory>(bytes, ByteOrder::kLittle);
    if (!FindDirectory(*dir, directory, 1)) return false;
    return ReadPage(source, *dir, -1, header);
}

}  // namespace pixdoc::files
