#include "imaging/encode/tiff_page_writer.h"

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "imaging/decode/tiff_tags.h"
#include "imaging/encode/compression_writer.h"
#include "imaging/io/special_names.h"
#include "pixdoc32.h"

namespace pixdoc::encode {
namespace {

using namespace files;

constexpr uint32_t kHeaderBytes = 8;
constexpr uint32_t kResolutionDenominator = 1;

struct Entry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    uint32_t value;  // SHORT values in the low half, as a little-endian file stores them
};

uint16_t CompressionOf(int32_t coding) {
    switch (coding) {
        case kCodingGroup3OneD:
        case kCodingGroup3TwoD:
            return kTiffGroup3;
        case kCodingModifiedHuffman:
            return kTiffModifiedHuffman;
        default:
            return kTiffGroup4;
    }
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The directory at `offset`, ascending by tag, with the resolutions' rationals behind it.
std::vector<uint8_t> Directory(uint32_t offset, const BilevelPage& page, const TiffCoding& coding,
                               uint32_t data_bytes) {
    std::vector<Entry> entries = {
        {kTagImageWidth, kTypeLong, 1, uint32_t(page.width)},
        {kTagImageLength, kTypeLong, 1, uint32_t(page.height)},
        {kTagBitsPerSample, kTypeShort, 1, 1},
        {kTagCompression, kTypeShort, 1, CompressionOf(coding.coding)},
        {kTagPhotometric, kTypeShort, 1, kPhotometricMinIsWhite},
        {kTagFillOrder, kTypeShort, 1,
         coding.fill_order_2 ? kFillOrderLsbFirst : kFillOrderMsbFirst},
        {kTagStripOffsets, kTypeLong, 1, kHeaderBytes},
        {kTagSamplesPerPixel, kTypeShort, 1, 1},
        {kTagRowsPerStrip, kTypeLong, 1, uint32_t(page.height)},
        {kTagStripByteCounts, kTypeLong, 1, data_bytes},
    };
    const bool resolution = page.x_resolution > 0 && page.y_resolution > 0;
    if (resolution) {
        entries.push_back({kTagXResolution, kTypeRational, 1, 0});
        entries.push_back({kTagYResolution, kTypeRational, 1, 0});
    }
    if (coding.coding == kCodingGroup3OneD || coding.coding == kCodingGroup3TwoD)
        entries.push_back({kTagT4Options, kTypeLong, 1,
                           coding.coding == kCodingGroup3TwoD ? kT4TwoDimensional : 0});
    if (coding.coding == kCodingGroup4 || coding.coding == kCodingGroup4Uncompressed)
        entries.push_back({kTagT6Options, kTypeLong, 1,
                           coding.coding == kCodingGroup4Uncompressed ? kUncompressedAllowed : 0});
    if (resolution) entries.push_back({kTagResolutionUnit, kTypeShort, 1, kResolutionUnitInch});

    const uint32_t rationals = offset + 2 + uint32_t(entries.size()) * 12 + 4;
    std::vector<uint8_t> out;
    Put16(out, uint32_t(entries.size()));
    for (Entry& e : entries) {
        if (e.tag == kTagXResolution) e.value = rationals;
        if (e.tag == kTagYResolution) e.value = rationals + 8;
        Put16(out, e.tag);
        Put16(out, e.type);
        Put32(out, e.count);
        Put32(out, e.value);
    }
    Put32(out, 0);  // no next directory
    if (resolution) {
        Put32(out, uint32_t(page.x_resolution));
        Put32(out, kResolutionDenominator);
        Put32(out, uint32_t(page.y_resolution));
        Put32(out, kResolutionDenominator);
    }
    return out;
}

bool WriteAt(int32_t handle, uint32_t offset, const std::vector<uint8_t>& bytes) {
    return SeekCompressionFile(handle, int32_t(offset)) == int32_t(offset) &&
           WriteCompressionFile(handle, bytes.data(), int32_t(bytes.size())) ==
               int32_t(bytes.size());
}

// Codes the rows behind the header, then writes the directory and the header.
bool WriteFile(CompressionRecord& r, const BilevelPage& page, const TiffCoding& coding) {
    bool ok = true;
    for (int32_t y = 0; y < page.height && ok; ++y)
        ok = CompressLine(&r, page.rows + size_t(y) * page.row_bytes) >= 0 && !DeliveryFellShort(r);
    ok = CompressEnd(&r) == kWriterOk && ok;
    if (!ok) return false;
    const uint32_t data_bytes = uint32_t(r.bytes_delivered);
    const uint32_t directory = (kHeaderBytes + data_bytes + 1) & ~1u;  // on a word boundary
    std::vector<uint8_t> header = {'I', 'I'};
    Put16(header, 42);
    Put32(header, directory);
    std::vector<uint8_t> tail = Directory(directory, page, coding, data_bytes);
    if (directory > kHeaderBytes + data_bytes) tail.insert(tail.begin(), 0);
    return WriteAt(r.file_handle, kHeaderBytes + data_bytes, tail) &&
           WriteAt(r.file_handle, 0, header);
}

std::string TemporaryName(const char* path) {
    static unsigned serial = 0;
    return std::string(path) + ".partial-" + std::to_string(getpid()) + "-" +
           std::to_string(++serial);
}

}  // namespace

bool IsTiffCoding(int32_t coding) {
    switch (coding) {
        case kCodingGroup3OneD:
        case kCodingGroup4:
        case kCodingGroup3TwoD:
        case kCodingModifiedHuffman:
        case kCodingGroup4Uncompressed:
            return true;
        default:
            return false;
    }
}

TiffWriteResult WriteBilevelTiff(const char* path, const BilevelPage& page,
                                 const TiffCoding& coding) {
    if (!IsTiffCoding(coding.coding)) return TiffWriteResult::kNoTiffCoding;
    if (page.width < 1 || page.width > kMaxWidth || page.height < 1 || !page.rows ||
        page.row_bytes < size_t(page.width + 7) / 8)
        return TiffWriteResult::kBadPage;
    if (!path || !*path || IsSpecialName(path)) return TiffWriteResult::kCannotCreate;
    const std::string temporary = TemporaryName(path);
    CompressionRecord r{};
    if (temporary.size() >= sizeof r.target_name) return TiffWriteResult::kCannotCreate;
    std::snprintf(r.target_name, sizeof r.target_name, "%s", temporary.c_str());
    r.coding = coding.coding;
    r.width = page.width;
    r.start = kHeaderBytes;
    r.bit_reversal = coding.fill_order_2 ? 1 : 0;
    r.k = coding.k;
    const int32_t started = CompressionStart(&r);
    if (started == kWriterRefused) return TiffWriteResult::kCannotCreate;
    if (started != kWriterOk) return TiffWriteResult::kWriteFailed;
    bool ok = WriteFile(r, page, coding);
    ok = CloseCompressionFile(r.file_handle) == 0 && ok;
    if (ok && std::rename(temporary.c_str(), path) == 0) return TiffWriteResult::kWritten;
    std::remove(temporary.c_str());
    return ok ? TiffWriteResult::kCannotCreate : TiffWriteResult::kWriteFailed;
}

}  // namespace pixdoc::encode
