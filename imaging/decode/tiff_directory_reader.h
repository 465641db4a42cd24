// The one reader of TIFF image file directories. The page header's walk, the page count and the
// colour TIFF reader load directories, follow their chain and read entry values here; each
// interprets the tags itself. A directory is read whole into one 2048-byte buffer, and values
// that lie within it are taken from there.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "imaging/decode/byte_order.h"
#include "imaging/decode/tiff_tags.h"

namespace pixdoc {

inline constexpr int32_t kTiffHeaderBytes = 8;
inline constexpr uint16_t kTiffVersion = 42;
inline constexpr int32_t kDirectoryBufferSize = 2048;
// Values within this many bytes after the directory offset come from the directory buffer.
inline constexpr int32_t kDirectoryValueWindow = 2040;
inline constexpr int32_t kMinDirectoryBytes = 40;
inline constexpr uint32_t kFirstDirectoryOffset = 8;
inline constexpr int32_t kMinEntries = 4;
inline constexpr int32_t kMaxEntries = 80;
// A little-endian entry count above this is re-read big-endian.
inline constexpr uint16_t kByteOrderSwitchCount = 1024;
inline constexpr int32_t kEntrySize = 12;

// Where a TIFF file's bytes come from, by offset from the file's first byte.
class TiffBytes {
public:
    virtual ~TiffBytes() = default;
    // Reads up to count bytes at offset; returns how many arrived (0 when the offset cannot be
    // reached).
    virtual int32_t ReadAt(int64_t offset, uint8_t* out, int32_t count) const = 0;
};

struct TiffFileHeader {
    ByteOrder order = ByteOrder::kLittle;
    uint16_t version = 0;
    uint32_t first_directory = 0;
};

enum class TiffHeaderResult { kOk, kShort, kNoByteOrderMark };

// The 8-byte file header: "II" (little-endian) or "MM" (big-endian), the version and the first
// directory's offset. The version is the caller's to judge.
TiffHeaderResult ReadTiffFileHeader(const TiffBytes& bytes, TiffFileHeader& header);
// The same from the file's first kTiffHeaderBytes bytes, already read.
TiffHeaderResult ParseTiffFileHeader(const uint8_t* head, TiffFileHeader& header);

struct TiffEntry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    const uint8_t* field;  // the 4-byte value or offset, in the directory buffer
};

// One directory at a time, read into the directory buffer, with the byte order in force.
class TiffDirectory {
public:
    TiffDirectory(const TiffBytes& bytes, ByteOrder order) : bytes_(bytes), order_(order) {}
    TiffDirectory(const TiffDirectory&) = delete;
    TiffDirectory& operator=(const TiffDirectory&) = delete;

    // Reads the directory at offset (the buffer is zero beyond what arrived). False when fewer
    // than kMinDirectoryBytes arrive or the entry count lies outside kMinEntries..kMaxEntries.
    // A little-endian count above kByteOrderSwitchCount is read again big-endian, and big-endian
    // stays in force for this directory and the ones after it.
    bool Load(uint32_t offset);

    int32_t entry_count() const { return entry_count_; }
    // Offset of the next directory, 0 at the end of the chain.
    uint32_t next_directory() const { return next_directory_; }
    ByteOrder order() const { return order_; }

    TiffEntry EntryAt(int32_t i) const;
    // The first entry with `tag`.
    std::optional<TiffEntry> Find(uint16_t tag) const;

    uint16_t Get16(const uint8_t* p) const { return pixdoc::Get16(p, order_); }
    uint32_t Get32(const uint8_t* p) const { return pixdoc::Get32(p, order_); }

    // The value of an entry with a count of 0 or 1 by its type (BYTE 8 bits, SHORT 16 bits,
    // ASCII, LONG and RATIONAL 32 bits, other types 0); for a larger count, its values' offset.
    uint32_t Value(const TiffEntry& e) const;
    // Reads the first n values (at most its count) of a BYTE, SHORT or LONG entry into out:
    // from the field itself when all its values fit in 4 bytes, else from their offset. Returns
    // how many values arrived whole (0 for other types); out beyond them is left as it was.
    uint32_t ReadValues(const TiffEntry& e, uint32_t n, uint32_t* out) const;
    // A RATIONAL's numerator and denominator; false when they cannot be read.
    bool ReadRational(const TiffEntry& e, uint32_t& numerator, uint32_t& denominator) const;

private:
    // Up to size bytes at a file offset; returns how many could be had.
    uint64_t Fetch(uint64_t at, uint8_t* out, uint64_t size) const;
    // True when the bytes lie within the directory buffer's value window.
    bool InBuffer(uint64_t at, uint64_t size) const;

    const TiffBytes& bytes_;
    ByteOrder order_;
    uint32_t offset_ = 0;
    int32_t valid_ = 0;
    int32_t entry_count_ = 0;
    uint32_t next_directory_ = 0;
    uint8_t buffer_[kDirectoryBufferSize] = {};
};

enum class WalkStep { kNext, kStop };

// Loads the chain of directories from `first` into dir one after the other and calls
// step(n) for the n-th (from 1), until it answers kStop: then true, with that directory
// loaded. False when the chain ends first: at an offset below kFirstDirectoryOffset (0 ends
// every chain), at a directory that does not load, or where it loops back, since each
// directory is visited at most once.
bool WalkTiffDirectories(TiffDirectory& dir, uint32_t first,
                         const std::function<WalkStep(int32_t n)>& step);

}  // namespace pixdoc
