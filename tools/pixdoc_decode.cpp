// pixdoc-decode [--page N] FILE OUT: decodes a bilevel page 1:1 and writes it to OUT as binary
// PBM (P4, 1 black) as it looks: a page whose set bits are white (TIFF minimum-is-black) is
// inverted. Colour and grey pages are written as binary PPM (P6). Every failure gives a non-zero
// exit and one line on stderr; a page whose data ends early or is damaged is still written (white
// after the stop) but exits 1.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "imaging/decode/bilevel/page_bitmap.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"
#include "tools/file_arguments.h"
#include "tools/page_arguments.h"
#include "tools/pbm_file.h"
#include "tools/pixdoc_decode_colour.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;

struct Arguments {
    int32_t page = 1;
    const char* file = nullptr;
    const char* out = nullptr;
};

bool ParseArguments(int argc, char** argv, Arguments& args) {
    pixdoc::tools::PageArguments parsed;
    if (!pixdoc::tools::ParsePageArguments(argc, argv, parsed) || parsed.files.size() != 2)
        return false;
    args.page = parsed.page;
    args.file = parsed.files[0];
    args.out = parsed.files[1];
    return true;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "pixdoc-decode: %s\n", message.c_str());
    return kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!ParseArguments(argc, argv, args)) {
        std::fprintf(stderr, "usage: pixdoc-decode [--page N] FILE OUT\n");
        return kExitUsage;
    }
    for (const char* name : {args.file, args.out})
        if (!pixdoc::tools::CheckFileArgument("pixdoc-decode", name))
            return pixdoc::tools::kExitRefusedName;
    // Asked first: a header read releases the strip table of the one before.
    int32_t negative = 0;
    PXGetImageInfoExtended(args.file, args.page, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, &negative);
    ImageHeader header{};
    const int32_t result = OpenImageHeader(0, args.file, args.page, &header);
    if (result == 1) return Fail(std::string("cannot open ") + args.file);
    if (result != 0)
        return Fail(std::string(args.file) + ": page " + std::to_string(args.page) +
                    " not recognised");
    if (header.compression >= PX_CODE_BMP)
        return WriteColourPage(args.file, args.page, header, args.out);
    header.handle = pixdoc::files::FileOpen(args.file);
    if (header.handle == pixdoc::files::kInvalidHandle)
        return Fail(std::string("cannot open ") + args.file);
    pixdoc::bilevel::PageBitmap page;
    const auto decoded = pixdoc::bilevel::DecodePageBitmap(header, page);
    pixdoc::files::FileClose(header.handle);
    if (decoded != pixdoc::bilevel::PageDecodeResult::kDecoded)
        return Fail(std::string(args.file) + ": page " + std::to_string(args.page) +
                    " cannot be decoded (code " + std::to_string(header.compression) + ")");
    if (negative) pixdoc::bilevel::InvertPage(page);
    const pixdoc::tools::PbmImage image{page.width, page.height, std::move(page.rows)};
    if (!pixdoc::tools::WritePbm(args.out, image))
        return Fail(std::string("cannot write ") + args.out);
    if (page.error_code != 0)
        return Fail(std::string(args.file) + ": decoding stopped at line " +
                    std::to_string(page.error_line) + " (result " +
                    std::to_string(page.error_code) + "), the rest is white");
    return 0;
}
