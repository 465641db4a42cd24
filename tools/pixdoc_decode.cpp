// pixdoc-decode [--page N] FILE OUT: decodes a bilevel page 1:1 and writes it to OUT as binary
// PBM (P4, 1 black) as it looks: a page whose set bits are white (TIFF minimum-is-black) is
// inverted. Colour and grey pages are written as binary PPM (P6). Every failure gives a non-zero
// exit and one line on stderr; a page whose data ends early or is damaged is still written (white
// after the stop) but exits 1.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/io/file_access.h"
#include "pixdoc32.h"
#include "tools/file_arguments.h"
#include "tools/page_arguments.h"
#include "tools/pbm_file.h"
#include "tools/pixdoc_decode_colour.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;
constexpr int32_t kOneToOne = 2048;
constexpr int32_t kSetUpNeeded = 1;
constexpr int32_t kBudgetGiven = 1 << 5;
constexpr int32_t kBandReady = 4;
constexpr int32_t kDone = 16;

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

// Decodes the page 1:1 into rows of (width + 7) / 8 bytes. Returns the decoder's set-up result
// (0 or 8); error_code and error_line stay in the header.
int32_t DecodePage(ImageHeader& h, std::vector<uint8_t>& bitmap) {
    const size_t row_bytes = (size_t(h.width) + 7) / 8;
    h.output_width = int32_t(row_bytes * 8);
    h.output_height = h.height;
    h.horizontal_scale = h.vertical_scale = kOneToOne;
    h.first_column = h.first_row = 0;
    h.orientation = 0;  // as stored
    h.options = 0;
    h.decode_flags = kSetUpNeeded;
    if (h.compression < PX_CODE_MULTI_STRIP && h.data_byte_count > 0) {
        h.byte_budget = h.data_byte_count;
        h.decode_flags |= kBudgetGiven;
    }
    bitmap.assign(row_bytes * size_t(h.height), 0);
    for (;;) {
        const int32_t r = Decompress(&h);
        if (r == kDone) return 0;
        if (r != kBandReady) return r;
        const int32_t top = h.rows_delivered - h.band_rows;
        for (int32_t i = 0; i < h.band_rows && top + i < h.height; ++i)
            std::memcpy(&bitmap[size_t(top + i) * row_bytes],
                        h.band_buffer + size_t(i) * size_t(h.row_bytes), row_bytes);
    }
}

// A negative page's stored bits inverted, so that 1 is black; the bits past the width stay 0.
void ShowAsItLooks(pixdoc::tools::PbmImage& image) {
    InvertBytes(image.rows.data(), int32_t(image.rows.size()));
    if (image.width % 8 == 0) return;
    const uint8_t keep = uint8_t(0xFF << (8 - image.width % 8));
    for (size_t end = image.RowBytes(); end <= image.rows.size(); end += image.RowBytes())
        image.rows[end - 1] &= keep;
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
    pixdoc::tools::PbmImage image;
    const int32_t setup = DecodePage(header, image.rows);
    pixdoc::files::FileClose(header.handle);
    if (setup != 0)
        return Fail(std::string(args.file) + ": page " + std::to_string(args.page) +
                    " cannot be decoded (code " + std::to_string(header.compression) + ")");
    image.width = header.width;
    image.height = header.height;
    if (negative) ShowAsItLooks(image);
    if (!pixdoc::tools::WritePbm(args.out, image))
        return Fail(std::string("cannot write ") + args.out);
    if (header.error_code != 0)
        return Fail(std::string(args.file) + ": decoding stopped at line " +
                    std::to_string(header.error_line) + " (result " +
                    std::to_string(header.error_code) + "), the rest is white");
    return 0;
}
