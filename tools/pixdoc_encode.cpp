// pixdoc-encode [--coding N] [--fill-order 2] [--k K] IN.pbm OUT.tif: codes a bitmap with the
// library's compression writer and wraps it in a one-strip TIFF file (minimum-is-white, no
// resolution). Codings: 0 Group 3 one-dimensional, 1 Group 4 (the default), 2 Group 3
// two-dimensional with a one-dimensional line every K lines (4 unless given), 5 modified
// Huffman, 6 Group 4 with uncompressed mode. Exit 0 written, 1 failure (one line on stderr,
// nothing written), 2 usage.
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/encode/tiff_page_writer.h"
#include "tools/file_arguments.h"
#include "tools/number_argument.h"
#include "tools/pbm_file.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;
constexpr int32_t kMaxWidth = 30000;
constexpr const char* kUsage =
    "usage: pixdoc-encode [--coding 0|1|2|5|6] [--fill-order 1|2] [--k K] IN.pbm OUT.tif\n";

struct Arguments {
    pixdoc::encode::TiffCoding coding;
    std::vector<const char*> files;
};

using pixdoc::tools::ParseNumber;

bool ParseArguments(int argc, char** argv, Arguments& args) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        long value = 0;
        if (arg == "--coding") {
            if (++i >= argc || !ParseNumber(argv[i], 10, 0, 9, value) ||
                !pixdoc::encode::IsTiffCoding(int32_t(value)))
                return false;
            args.coding.coding = int32_t(value);
        } else if (arg == "--fill-order") {
            if (++i >= argc || !ParseNumber(argv[i], 10, 1, 2, value)) return false;
            args.coding.fill_order_2 = value == 2;
        } else if (arg == "--k") {
            if (++i >= argc || !ParseNumber(argv[i], 10, 0, INT32_MAX, value)) return false;
            args.coding.k = int32_t(value);
        } else {
            args.files.push_back(argv[i]);
        }
    }
    return args.files.size() == 2;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "pixdoc-encode: %s\n", message.c_str());
    return kExitFailure;
}

const char* WriteError(pixdoc::encode::TiffWriteResult result) {
    switch (result) {
        case pixdoc::encode::TiffWriteResult::kCannotCreate:
            return "cannot create";
        case pixdoc::encode::TiffWriteResult::kWriteFailed:
            return "writing failed (disk full?)";
        default:
            return "cannot write";
    }
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!ParseArguments(argc, argv, args)) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    const char* in = args.files[0];
    const char* out = args.files[1];
    for (const char* name : {in, out})
        if (!pixdoc::tools::CheckFileArgument("pixdoc-encode", name))
            return pixdoc::tools::kExitRefusedName;
    pixdoc::tools::PbmImage image;
    std::string error;
    if (!pixdoc::tools::ReadPbm(in, kMaxWidth, image, error))
        return Fail(std::string(in) + ": " + error);
    pixdoc::encode::BilevelPage page;
    page.width = image.width;
    page.height = image.height;
    page.rows = image.rows.data();
    page.row_bytes = image.RowBytes();
    const auto result = pixdoc::encode::WriteBilevelTiff(out, page, args.coding);
    if (result != pixdoc::encode::TiffWriteResult::kWritten)
        return Fail(std::string(out) + ": " + WriteError(result));
    return 0;
}
