// ManualSkewCorrect: page 1 of a bilevel image turned by a given slope and written as a new
// Group 4 TIFF file.
#include <new>

#include "imaging/cleanup/page_rotation.h"
#include "imaging/decode/bilevel/page_bitmap.h"
#include "imaging/encode/compression_writer.h"
#include "imaging/encode/tiff_page_writer.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"

namespace pixdoc::cleanup {
namespace {

constexpr int32_t kCorrected = 0;
constexpr int32_t kInputUnreadable = 1;
constexpr int32_t kNoSlope = 2;
constexpr int32_t kNoMemory = 3;
constexpr int32_t kOutputNotWritten = 4;
constexpr int32_t kColourPage = 400;

// Page 1 of `name` as it looks (set bits black), with its header.
int32_t ReadPage(const char* name, bilevel::PageBitmap& page, ImageHeader& h) {
    // The flag first: every header read releases the strip table of the one before.
    int32_t compression = 0;
    int32_t negative = 0;
    if (PXGetImageInfoExtended(name, 1, nullptr, nullptr, nullptr, nullptr, nullptr, &compression,
                               nullptr, &negative) != 0)
        return kInputUnreadable;
    if (compression >= PX_CODE_BMP) return kColourPage;
    if (OpenImageHeader(0, name, 1, &h) != 0) return kInputUnreadable;
    h.handle = files::FileOpen(name);
    if (h.handle == files::kInvalidHandle) return kInputUnreadable;
    const bilevel::PageDecodeResult decoded = bilevel::DecodePageBitmap(h, page);
    files::FileClose(h.handle);
    if (decoded == bilevel::PageDecodeResult::kNoMemory) return kNoMemory;
    if (decoded != bilevel::PageDecodeResult::kDecoded) return kInputUnreadable;
    if (negative) bilevel::InvertPage(page);
    return kCorrected;
}

}  // namespace
}  // namespace pixdoc::cleanup

using namespace pixdoc;

PIXDOC_API int32_t ManualSkewCorrect(const char* input, const char* output, int32_t rise,
                                     int32_t run, int32_t reserved1, int32_t reserved2) {
    if (run == 0) return cleanup::kNoSlope;
    if (!input || !output) return cleanup::kInputUnreadable;
    ImageHeader h{};
    bilevel::PageBitmap page;
    try {
        if (const int32_t r = cleanup::ReadPage(input, page, h); r != cleanup::kCorrected) return r;
        const bilevel::PageBitmap straight = cleanup::Straightened(page, rise, run);
        encode::BilevelPage out;
        out.width = straight.width;
        out.height = straight.height;
        out.rows = straight.rows.data();
        out.row_bytes = straight.row_bytes;
        out.x_resolution = h.x_resolution;
        out.y_resolution = h.y_resolution;
        encode::TiffCoding coding;
        coding.coding = encode::kCodingGroup4;
        return encode::WriteBilevelTiff(output, out, coding) == encode::TiffWriteResult::kWritten
                   ? cleanup::kCorrected
                   : cleanup::kOutputNotWritten;
    } catch (const std::bad_alloc&) {
        return cleanup::kNoMemory;
    }
}
