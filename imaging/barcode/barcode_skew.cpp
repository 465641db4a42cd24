#include "imaging/barcode/barcode_skew.h"

#include <filesystem>
#include <new>
#include <system_error>
#include <vector>

#include "imaging/barcode/barcode_state.h"
#include "imaging/io/file_access.h"
#include "imaging/io/special_names.h"
#include "pixdoc32.h"

namespace pixdoc::barcode {
namespace {

constexpr int32_t kMeasured = 0;
constexpr int32_t kNoPage = 1;
constexpr int32_t kStatusNotValid = 2;
constexpr int32_t kNoBitmapMemory = 8;
constexpr int32_t kColourPage = 400;

constexpr int32_t kStraightened = 0;
constexpr int32_t kNotMeasured = 1;
constexpr int32_t kNotWritten = 3;

int32_t Measure(const char* name, int32_t& rise, int32_t& run) {
    const BarcodeStatus status = BarcodeState().status;
    if (!status.valid) return kStatusNotValid;
    ImageHeader h{};
    if (OpenImageHeader(0, name, 1, &h) != 0) return kNoPage;
    if (h.compression >= PX_CODE_BMP) return kColourPage;
    files::OpenedFile file(name);
    if (!file.ok()) return kNoPage;
    h.handle = file.handle();
    bilevel::PageBitmap page;
    // Rows in whole 16-bit words.
    constexpr size_t kRowAlignment = 2;
    switch (bilevel::DecodePageBitmap(h, page, kRowAlignment)) {
        case bilevel::PageDecodeResult::kDecoded:
            break;
        case bilevel::PageDecodeResult::kNoMemory:
            return kNoBitmapMemory;
        case bilevel::PageDecodeResult::kSetUpFailed:
            return kNoPage;
    }
    // The status line counts the lines decoded up to and with the read (from 1, as the position
    // suffix shows it): the read lies on the row before. Taken as a row itself it would be the
    // row under the read, below every bar when the read was the symbol's lowest.
    const int32_t row = status.line - 1;
    const EdgeEnd first = FollowBarUp(page, status.start_column, row);
    const EdgeEnd last = FollowBarUp(page, status.end_column, row);
    rise = last.y - first.y;
    run = last.x - first.x;
    return kMeasured;
}

// Copies the bytes of `input` to `output` through the file access layer (so that memory images
// work both ways); a file onto itself is left alone.
bool CopyImage(const char* input, const char* output) {
    if (!files::IsSpecialName(input) && !files::IsSpecialName(output)) {
        std::error_code ec;
        if (std::filesystem::equivalent(input, output, ec)) return true;
    }
    std::vector<uint8_t> bytes;
    {
        files::OpenedFile in(input);
        if (!in.ok()) return false;
        // An unbounded memory image reports no size: nothing can be copied from it.
        const int64_t size = files::FileSeek(in.handle(), 0, files::SeekOrigin::kEnd);
        if (size < 0 || size > INT32_MAX ||
            files::FileSeek(in.handle(), 0, files::SeekOrigin::kStart) != 0)
            return false;
        bytes.resize(size_t(size));
        if (files::FileRead(in.handle(), bytes.data(), int32_t(size)) != int32_t(size))
            return false;
    }
    const int32_t out = files::FileCreate(output);
    if (out == files::kInvalidHandle) return false;
    const bool written =
        files::FileWrite(out, bytes.data(), int32_t(bytes.size())) == int32_t(bytes.size());
    return files::FileClose(out) == 0 && written;
}

}  // namespace

EdgeEnd FollowBarUp(const bilevel::PageBitmap& page, int32_t x, int32_t y) {
    // Bound: y decreases every pass and the loop ends once it leaves the page.
    while (y >= 0 && y < page.height) {
        int32_t found = -1;
        for (int32_t c = x - 1; c <= x + 1 && found < 0; ++c)
            if (c >= 0 && c < page.width && page.IsSet(c, y)) found = c;
        if (found < 0) break;
        x = found;
        --y;
    }
    return {x, y};
}

}  // namespace pixdoc::barcode

PIXDOC_API int32_t PX_FindBarcodeSkew(const char* name, int32_t* rise, int32_t* run) {
    int32_t r = 0, n = 0;
    int32_t result = pixdoc::barcode::kNoPage;
    try {
        result = pixdoc::barcode::Measure(name, r, n);
    } catch (const std::bad_alloc&) {
        result = pixdoc::barcode::kNoBitmapMemory;
    }
    if (result != pixdoc::barcode::kMeasured) return result;
    if (rise) *rise = r;
    if (run) *run = n;
    return result;
}

PIXDOC_API int32_t PX_DeskewBarCode(const char* input, const char* output) {
    int32_t rise = 0, run = 0;
    if (PX_FindBarcodeSkew(input, &rise, &run) != 0 || run == 0)
        return pixdoc::barcode::kNotMeasured;
    if (!output) return pixdoc::barcode::kNotWritten;
    try {
        if (rise == 0 && !pixdoc::barcode::CopyImage(input, output))
            return pixdoc::barcode::kNotWritten;
    } catch (const std::bad_alloc&) {
        return pixdoc::barcode::kNotWritten;
    }
    return ManualSkewCorrect(input, output, rise, run, 0, 0) == 0 ? pixdoc::barcode::kStraightened
                                                                  : pixdoc::barcode::kNotWritten;
}
