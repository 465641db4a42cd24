// A bilevel page written as a one-strip TIFF file whose data the compression writer codes: the
// file the library's page-producing services (skew correction) write, and pixdoc-encode.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pixdoc::encode {

struct BilevelPage {
    int32_t width = 0;
    int32_t height = 0;
    const uint8_t* rows = nullptr;  // height rows of row_bytes, first pixel in the top bit, 1 black
    size_t row_bytes = 0;
    int32_t x_resolution = 0;  // dots per inch; 0 leaves the resolution tags out
    int32_t y_resolution = 0;
};

struct TiffCoding {
    int32_t coding = 1;  // a writer coding TIFF can name: 0, 1, 2, 5 or 6
    bool fill_order_2 = false;
    int32_t k = 0;  // coding 2
};

enum class TiffWriteResult {
    kWritten,
    kNoTiffCoding,  // the coding has no TIFF Compression value
    kBadPage,       // width outside 1..30000, no rows, or rows shorter than the width
    kCannotCreate,  // the file (or its temporary twin) cannot be created
    kWriteFailed,   // a write fell short or memory ran out; nothing is left behind
};

// True for the codings WriteBilevelTiff accepts.
bool IsTiffCoding(int32_t coding);

// Writes `page` to the disk file `path` (a special name of the file access layer is refused):
// little-endian, minimum-is-white, the coded data at offset 8 and the directory after it. The
// file is written beside `path` under a temporary name and renamed over it when complete, so
// that a failure leaves an existing file (even the page's own source) as it was.
TiffWriteResult WriteBilevelTiff(const char* path, const BilevelPage& page,
                                 const TiffCoding& coding);

}  // namespace pixdoc::encode
