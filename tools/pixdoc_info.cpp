// pixdoc-info [--page N] FILE: prints the header of a page as "key: value" lines.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "pixdoc32.h"
#include "tools/file_arguments.h"
#include "tools/page_arguments.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;

struct Arguments {
    int32_t page = 1;
    const char* file = nullptr;
};

bool ParseArguments(int argc, char** argv, Arguments& args) {
    pixdoc::tools::PageArguments parsed;
    if (!pixdoc::tools::ParsePageArguments(argc, argv, parsed) || parsed.files.size() != 1)
        return false;
    args.page = parsed.page;
    args.file = parsed.files[0];
    return true;
}

// The byte offset of the page's data; a multi-strip page reports its first strip.
long long DataOffset(const ImageHeader& h) {
    if (h.compression < PX_CODE_MULTI_STRIP || h.compression >= PX_CODE_BMP)
        return static_cast<long long>(h.data_offset);
    const auto* table = reinterpret_cast<const PixdocStripTable*>(h.data_offset);
    return table && table->strip_count > 0 ? table->strip_offsets[0] : 0;
}

// Strips of a multi-strip page, 0 for other pages.
int32_t StripCount(const ImageHeader& h) {
    if (h.compression < PX_CODE_MULTI_STRIP || h.compression >= PX_CODE_BMP) return 0;
    const auto* table = reinterpret_cast<const PixdocStripTable*>(h.data_offset);
    return table ? table->strip_count : 0;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!ParseArguments(argc, argv, args)) {
        std::fprintf(stderr, "usage: pixdoc-info [--page N] FILE\n");
        return kExitUsage;
    }
    if (!pixdoc::tools::CheckFileArgument("pixdoc-info", args.file))
        return pixdoc::tools::kExitRefusedName;
    ImageHeader header{};
    const int32_t result = OpenImageHeader(0, args.file, args.page, &header);
    if (result == 1) {
        std::fprintf(stderr, "pixdoc-info: cannot open %s\n", args.file);
        return kExitFailure;
    }
    if (result != 0) {
        std::fprintf(stderr, "pixdoc-info: %s: page %d not recognised\n", args.file, args.page);
        return kExitFailure;
    }
    // The strip table lives only until the next header read: take what is needed now.
    const long long data_offset = DataOffset(header);
    const int32_t strips = StripCount(header);
    int32_t negative = 0;
    PXGetImageInfoExtended(args.file, args.page, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, &negative);
    std::printf("compression code: %d\n", header.compression);
    std::printf("width: %d\n", header.width);
    std::printf("height: %d\n", header.height);
    std::printf("xres: %d\n", header.x_resolution);
    std::printf("yres: %d\n", header.y_resolution);
    std::printf("fill order: %d\n", header.fill_order);
    std::printf("orientation: %d\n", header.orientation);
    std::printf("negative: %d\n", negative);
    std::printf("data offset: %lld\n", data_offset);
    std::printf("data byte count: %d\n", header.data_byte_count);
    if (strips > 0) std::printf("strips: %d\n", strips);
    std::printf("pages: %d\n", GetTiffPages(args.file));
    return 0;
}
