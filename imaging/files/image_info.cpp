// The information exports built on OpenImageHeader.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "imaging/files/header_state.h"
#include "imaging/files/open_image_header.h"
#include "imaging/files/tiff_directory.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"

namespace {

using namespace pixdoc::files;

// Image data is copied in pieces of this size, so a hostile byte count costs no memory.
constexpr int32_t kCopyChunk = 64 * 1024;

enum CopyResult : int32_t {
    kCopied = 0,
    kNoHeader = 1,
    kNoOutput = 2,
    kNothingToCopy = 3,
    kShortCopy = 4,
};

bool ReadHeader(const char* name, int32_t page, ImageHeader& header) {
    header = ImageHeader{};
    return ReadImageHeader(name, page, header) == HeaderResult::kOk;
}

bool IsMultiStrip(const ImageHeader& header) {
    return header.compression >= PX_CODE_MULTI_STRIP && header.compression < PX_CODE_BMP;
}

// The file offset of the page's data; for a multi-strip page that of its first strip.
int32_t DataOffset(const ImageHeader& header) {
    if (!IsMultiStrip(header)) return static_cast<int32_t>(header.data_offset);
    const auto* table = reinterpret_cast<const PixdocStripTable*>(header.data_offset);
    return table && table->strip_count > 0 ? static_cast<int32_t>(table->strip_offsets[0]) : 0;
}

template <typename T>
void Put(T* out, T value) {
    if (out) *out = value;
}

void PutExtended(const ImageHeader& h, int32_t* width, int32_t* height, int32_t* data_offset,
                 int32_t* x_resolution, int32_t* y_resolution, int32_t* compression,
                 int32_t* fill_order, int32_t* negative) {
    Put(width, h.width);
    Put(height, h.height);
    Put(data_offset, DataOffset(h));
    Put(x_resolution, h.x_resolution);
    Put(y_resolution, h.y_resolution);
    Put(compression, h.compression);
    Put(fill_order, h.fill_order);
    Put(negative, HeaderState().negative);
}

CopyResult CopyData(int32_t source, int32_t target, int64_t offset, int32_t count) {
    if (FileSeek(source, offset, SeekOrigin::kStart) != offset) return kShortCopy;
    std::vector<uint8_t> chunk(static_cast<size_t>(std::min(count, kCopyChunk)));
    for (int32_t left = count; left > 0;) {
        const int32_t want = std::min(left, kCopyChunk);
        if (FileRead(source, chunk.data(), want) != want) return kShortCopy;
        if (FileWrite(target, chunk.data(), want) != want) return kShortCopy;
        left -= want;
    }
    return kCopied;
}

}  // namespace

PIXDOC_API int32_t PXGetImageInfo(const char* name, int32_t page, int32_t* width, int32_t* height) {
    ImageHeader header;
    if (!ReadHeader(name, page, header)) return 1;
    Put(width, header.width);
    Put(height, header.height);
    return 0;
}

PIXDOC_API int32_t PXGetImageInfoExtended(const char* name, int32_t page, int32_t* width,
                                          int32_t* height, int32_t* data_offset,
                                          int32_t* x_resolution, int32_t* y_resolution,
                                          int32_t* compression, int32_t* fill_order,
                                          int32_t* negative) {
    ImageHeader header;
    if (!ReadHeader(name, page, header)) return 1;
    PutExtended(header, width, height, data_offset, x_resolution, y_resolution, compression,
                fill_order, negative);
    return 0;
}

PIXDOC_API int32_t PXGetImageSize(const char* name, int32_t page) {
    ImageHeader header;
    if (!ReadHeader(name, page, header)) return -1;
    return header.data_byte_count;
}

PIXDOC_API int32_t PXGetImageInfoAndImage(const char* name, int32_t page, int32_t* width,
                                          int32_t* height, int32_t* data_offset,
                                          int32_t* x_resolution, int32_t* y_resolution,
                                          int32_t* compression, int32_t* fill_order,
                                          int32_t* negative, const char* output) {
    ImageHeader header;
    if (!ReadHeader(name, page, header)) return kNoHeader;
    PutExtended(header, width, height, data_offset, x_resolution, y_resolution, compression,
                fill_order, negative);
    const int32_t source = FileOpen(name);
    if (source == kInvalidHandle) return kNoHeader;
    const int32_t target = FileCreate(output);
    if (target == kInvalidHandle) {
        FileClose(source);
        return kNoOutput;
    }
    CopyResult result = kNothingToCopy;
    if (header.data_byte_count > 0) {
        try {
            result = CopyData(source, target, DataOffset(header), header.data_byte_count);
        } catch (const std::bad_alloc&) {
            result = kNothingToCopy;
        }
    }
    FileClose(target);
    FileClose(source);
    return result;
}
