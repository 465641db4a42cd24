#include "imaging/decode/tiff_directory_reader.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>
#include <vector>

namespace pixdoc {

TiffHeaderResult ReadTiffFileHeader(const TiffBytes& bytes, TiffFileHeader& header) {
    uint8_t head[kTiffHeaderBytes];
    if (bytes.ReadAt(0, head, kTiffHeaderBytes) != kTiffHeaderBytes)
        return TiffHeaderResult::kShort;
    return ParseTiffFileHeader(head, header);
}

TiffHeaderResult ParseTiffFileHeader(const uint8_t* head, TiffFileHeader& header) {
    if (head[0] == 'I' && head[1] == 'I')
        header.order = ByteOrder::kLittle;
    else if (head[0] == 'M' && head[1] == 'M')
        header.order = ByteOrder::kBig;
    else
        return TiffHeaderResult::kNoByteOrderMark;
    header.version = Get16(head + 2, header.order);
    header.first_directory = Get32(head + 4, header.order);
    return TiffHeaderResult::kOk;
}

bool TiffDirectory::Load(uint32_t offset) {
    offset_ = offset;
    std::memset(buffer_, 0, sizeof buffer_);
    valid_ = bytes_.ReadAt(offset, buffer_, kDirectoryBufferSize);
    if (valid_ < kMinDirectoryBytes) return false;
    uint16_t count = Get16(buffer_);
    if (count > kByteOrderSwitchCount) {
        order_ = ByteOrder::kBig;
        count = Get16(buffer_);
    }
    entry_count_ = count;
    if (entry_count_ < kMinEntries || entry_count_ > kMaxEntries) return false;
    next_directory_ = Get32(buffer_ + 2 + entry_count_ * kEntrySize);
    return true;
}

TiffEntry TiffDirectory::EntryAt(int32_t i) const {
    const uint8_t* p = buffer_ + 2 + i * kEntrySize;
    return {Get16(p), Get16(p + 2), Get32(p + 4), p + 8};
}

std::optional<TiffEntry> TiffDirectory::Find(uint16_t tag) const {
    for (int32_t i = 0; i < entry_count_; ++i)
        if (const TiffEntry e = EntryAt(i); e.tag == tag) return e;
    return std::nullopt;
}

uint32_t TiffDirectory::Value(const TiffEntry& e) const {
    if (e.count > 1) return Get32(e.field);
    switch (e.type) {
        case kTypeByte:
            return e.field[0];
        case kTypeShort:
            return Get16(e.field);
        case kTypeAscii:
        case kTypeLong:
        case kTypeRational:
            return Get32(e.field);
        default:
            return 0;
    }
}

uint32_t TiffDirectory::ReadValues(const TiffEntry& e, uint32_t n, uint32_t* out) const {
    const uint32_t size = e.type == kTypeByte    ? 1
                          : e.type == kTypeShort ? 2
                          : e.type == kTypeLong  ? 4
                                                 : 0;
    if (size == 0) return 0;
    n = std::min(n, e.count);
    const uint64_t bytes = uint64_t{n} * size;
    std::vector<uint8_t> raw(bytes);
    uint64_t got = bytes;
    // Values that fit in the 4-byte field are stored there, not behind an offset.
    if (uint64_t{e.count} * size <= 4)
        std::memcpy(raw.data(), e.field, bytes);
    else
        got = Fetch(Get32(e.field), raw.data(), bytes);
    const uint32_t whole = static_cast<uint32_t>(got / size);
    for (uint32_t i = 0; i < whole; ++i) {
        const uint8_t* p = &raw[uint64_t{i} * size];
        out[i] = size == 1 ? *p : size == 2 ? Get16(p) : Get32(p);
    }
    return whole;
}

bool TiffDirectory::ReadRational(const TiffEntry& e, uint32_t& numerator,
                                 uint32_t& denominator) const {
    uint8_t bytes[8] = {};
    if (Fetch(Get32(e.field), bytes, sizeof bytes) != sizeof bytes) return false;
    numerator = Get32(bytes);
    denominator = Get32(bytes + 4);
    return true;
}

uint64_t TiffDirectory::Fetch(uint64_t at, uint8_t* out, uint64_t size) const {
    if (InBuffer(at, size)) {
        std::memcpy(out, buffer_ + (at - offset_), size);
        return size;
    }
    const int32_t n = bytes_.ReadAt(static_cast<int64_t>(at), out, static_cast<int32_t>(size));
    return n < 0 ? 0 : static_cast<uint64_t>(n);
}

bool TiffDirectory::InBuffer(uint64_t at, uint64_t size) const {
    const int64_t window = std::min(kDirectoryValueWindow, valid_);
    return at >= offset_ && at + size <= offset_ + static_cast<uint64_t>(window);
}

bool WalkTiffDirectories(TiffDirectory& dir, uint32_t first,
                         const std::function<WalkStep(int32_t n)>& step) {
    std::unordered_set<uint32_t> visited;
    uint32_t offset = first;
    // Bound: every turn visits a new offset, and a file holds finitely many.
    for (int32_t n = 1;; ++n) {
        if (offset < kFirstDirectoryOffset || !visited.insert(offset).second) return false;
        if (!dir.Load(offset)) return false;
        if (step(n) == WalkStep::kStop) return true;
        offset = dir.next_directory();
    }
}

}  // namespace pixdoc
