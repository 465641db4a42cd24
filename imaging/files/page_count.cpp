#include "imaging/files/page_count.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <vector>

#include "imaging/decode/tiff_directory_reader.h"
#include "imaging/files/header_state.h"
#include "imaging/files/pcx_probe.h"
#include "imaging/files/raster_probes.h"
#include "imaging/files/tiff_directory.h"
#include "imaging/io/file_access.h"

namespace pixdoc::files {
namespace {

constexpr int32_t kDcxTableOffset = 4;

// Counts directories that describe an image, ending at the first that does not or cannot be
// read.
int32_t CountTiffPages(const TiffBytes& bytes, ByteOrder order, uint32_t first,
                       int64_t& chain_end) {
    auto dir = std::make_unique<TiffDirectory>(bytes, order);
    int32_t pages = 0;
    uint32_t at = first;
    WalkTiffDirectories(*dir, first, [&](int32_t) {
        chain_end = -1;
        if (!dir->Find(kTagImageWidth)) return WalkStep::kStop;
        ++pages;
        if (dir->next_directory() < kFirstDirectoryOffset)
            chain_end = int64_t{at} + 2 + int64_t{12} * dir->entry_count();
        at = dir->next_directory();
        return WalkStep::kNext;
    });
    return pages;
}

int32_t CountDcxPages(const uint8_t* head, int32_t n) {
    int32_t pages = 0;
    while (pages < kMaxDcxPages && kDcxTableOffset + 4 * (pages + 1) <= n &&
           Le32(head + kDcxTableOffset + 4 * pages) != 0)
        ++pages;
    return pages;
}

int32_t CountPageRecords(const ProbeSource& source) {
    uint8_t record[kPageRecordHeaderSize];
    int32_t pages = 0;
    // Each record moves the position forward by at least its header.
    for (int64_t at = 0; ReadWhole(source, at, record, kPageRecordHeaderSize) &&
                         record[0] == kPageRecordMark && record[1] == 0;
         at += kPageRecordHeaderSize + int64_t{Le32(record + 8)})
        ++pages;
    return pages;
}

}  // namespace

int32_t CountPages(const ProbeSource& source, int64_t& chain_end) {
    chain_end = -1;
    std::vector<uint8_t> head(kPageCountHeadBytes);
    const int32_t n = ReadAt(source, 0, head.data(), kPageCountHeadBytes);
    TiffFileHeader tiff;
    if (n >= kTiffHeaderBytes && ParseTiffFileHeader(head.data(), tiff) == TiffHeaderResult::kOk &&
        tiff.version >= kTiffVersion) {
        const ProbeBytes bytes(source);
        return tiff.first_directory == 0
                   ? 0
                   : CountTiffPages(bytes, tiff.order, tiff.first_directory, chain_end);
    }
    if (n >= 4 && std::memcmp(head.data(), kDcxMagic, sizeof kDcxMagic) == 0)
        return CountDcxPages(head.data(), n);
    if (n >= 2 && head[0] == kPageRecordMark && head[1] == 0) return CountPageRecords(source);
    return 1;
}

}  // namespace pixdoc::files

namespace {

using namespace pixdoc::files;

constexpr int32_t kNotOpened = -1;
constexpr int32_t kNoMemory = -2;

int64_t SizeOf(int32_t handle) {
    return FileSeek(handle, 0, SeekOrigin::kEnd);
}

// A page appended to a TIFF is linked in place, after the file has already grown: a count
// remembered in between would keep the new size, so the link it ended at is read again.
bool ChainStillEnds(int32_t handle, int64_t size, int64_t chain_end) {
    if (chain_end < 0) return true;
    ProbeSource source;
    source.handle = handle;
    source.file_size = size;
    uint8_t link[4];
    return ReadWhole(source, chain_end, link, sizeof link) &&
           std::all_of(std::begin(link), std::end(link), [](uint8_t b) { return b == 0; });
}

}  // namespace

PIXDOC_API int32_t GetTiffPages(const char* name) {
    if (!name || !*name) return kNotOpened;
    PageCountCache& cache = HeaderState().page_count;
    if (cache.name == name && cache.size >= 0) {
        const int32_t handle = FileOpen(name);
        if (handle != kInvalidHandle) {
            const int64_t size = SizeOf(handle);
            const bool unchanged =
                size == cache.size && ChainStillEnds(handle, size, cache.chain_end);
            FileClose(handle);
            if (unchanged) return cache.count;
        }
    }
    cache.name = name;
    cache.size = -1;
    const int32_t handle = FileOpen(name);
    if (handle == kInvalidHandle) return kNotOpened;
    ProbeSource source;
    source.handle = handle;
    source.memory = IsMemoryHandle(handle);
    const int64_t size = SizeOf(handle);
    source.file_size = size < 0 ? 0 : size;
    int32_t count = 0;
    int64_t chain_end = -1;
    try {
        count = CountPages(source, chain_end);
    } catch (const std::bad_alloc&) {
        FileClose(handle);
        return kNoMemory;
    }
    FileClose(handle);
    // A memory image's size says nothing about its contents, so only disk files are cached.
    if (!source.memory) {
        cache.size = size;
        cache.count = count;
        cache.chain_end = chain_end;
    }
    return count;
}
