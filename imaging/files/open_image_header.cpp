#include "imaging/files/open_image_header.h"

#include <new>

#include "imaging/files/cals_probe.h"
#include "imaging/files/colour_probe.h"
#include "imaging/files/header_state.h"
#include "imaging/files/pcx_probe.h"
#include "imaging/files/raster_probes.h"
#include "imaging/files/tiff_directory.h"
#include "imaging/io/file_access.h"

namespace pixdoc::files {
namespace {

void ResetHeaderFields(ImageHeader& header) {
    header.data_offset = 0;
    header.compression = 0;
    header.fill_order = 0;
    header.orientation = 0;
    header.horizontal_scale = kOneToOneScale;
    header.vertical_scale = kOneToOneScale;
    header.first_column = 0;
    header.first_row = 0;
    header.data_byte_count = 0;
}

// Keeps the page cursor cache only for page n+1 of the same, unchanged file.
void UpdatePageCursor(const char* name, int32_t page, int64_t size) {
    PageCursorCache& cursor = PageCursor();
    if (cursor.name != name) {
        cursor.page = 0;
        cursor.name = name;
    } else if (page != cursor.page + 1) {
        cursor.page = 0;
    }
    if (size != cursor.size) cursor.page = 0;
    cursor.size = size;
}

void ApplyRawHeader(const ParsedName& parsed, ImageHeader& header) {
    header.width = parsed.raw_header[0];
    header.height = parsed.raw_header[1];
    header.x_resolution = parsed.raw_header[2];
    header.y_resolution = parsed.raw_header[3];
    header.compression = parsed.raw_header[4];
    header.fill_order = parsed.raw_header[5];
    if (parsed.raw_header[6] != 0) HeaderState().negative = 1;
    header.data_offset = 0;
    if (parsed.size >= 0)
        header.data_byte_count =
            parsed.size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(parsed.size);
}

// Runs the probes of a page in their order; the first that matches fills header.
bool RecogniseFormat(const ProbeSource& source, int32_t page, ImageHeader& header) {
    if (WalkTiffPage(source, page, header)) return true;
    PageCursor().page = 0;
    const bool first_page = page == 1;
    if (first_page && ProbeBilevelPcx(source, header)) return true;
    if (first_page && (ProbeCals(source, header) || ProbeDcFormat(source, header) ||
                       ProbeCdAbFormat(source, header)))
        return true;
    if (ProbeDcx(source, page, header)) return true;
    if (first_page && (ProbeColourHeader(source, 0, header) || ProbeDirSectFormat(source, header)))
        return true;
    if (ProbePageChain(source, page, header)) return true;
    return ProbeFixedHeader(source, header);
}

HeaderResult ReadOpened(const char* name, const ParsedName& parsed, int32_t page,
                        ImageHeader& header) {
    ProbeSource source;
    source.handle = header.handle;
    source.memory = IsMemoryHandle(header.handle);
    const int64_t size = FileSeek(header.handle, 0, SeekOrigin::kEnd);
    source.file_size = size < 0 ? 0 : size;
    UpdatePageCursor(name, page, size);

    switch (parsed.kind) {
        case NameKind::kMemoryRaw:
            ApplyRawHeader(parsed, header);
            return HeaderResult::kOk;
        case NameKind::kTiffDirectory:
            return ReadTiffDirectoryAt(source, parsed.directory, header)
                       ? HeaderResult::kOk
                       : HeaderResult::kUnknownFormat;
        default:
            return RecogniseFormat(source, page, header) ? HeaderResult::kOk
                                                         : HeaderResult::kUnknownFormat;
    }
}

}  // namespace

HeaderResult ReadImageHeader(const char* name, int32_t page, ImageHeader& header) {
    if (!name || !*name || page < 1) return HeaderResult::kNotOpened;
    const int32_t handle = FileOpen(name);
    if (handle == kInvalidHandle) return HeaderResult::kNotOpened;
    header.handle = handle;
    ResetHeaderFields(header);
    HeaderState().negative = 0;
    HeaderResult result = HeaderResult::kUnknownFormat;
    try {
        result = ReadOpened(name, ParseName(name), page, header);
    } catch (const std::bad_alloc&) {
        PageCursor().page = 0;
    }
    FileClose(handle);
    return result;
}

}  // namespace pixdoc::files

PIXDOC_API int32_t OpenImageHeader(int32_t reserved, const char* name, int32_t page,
                                   ImageHeader* header) {
    if (!header) return static_cast<int32_t>(pixdoc::files::HeaderResult::kNotOpened);
    return static_cast<int32_t>(pixdoc::files::ReadImageHeader(name, page, *header));
}
