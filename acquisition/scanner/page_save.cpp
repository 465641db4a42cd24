// Saving a page as TIFF (new or appended) or JPEG, and the JPEG quality factor.
#include <vector>

#include "acquisition/scanner/durable_file.h"
#include "acquisition/scanner/page_encoding.h"
#include "acquisition/scanner/tiff_append.h"

namespace scantora {
namespace {

constexpr int kMinQualityFactor = 1;
constexpr int kMaxQualityFactor = 254;
constexpr int kBestJpegQuality = 100;
constexpr int kJpegQualitySteps = 99;  // from 100 down to 1

}  // namespace

int JpegQualityFromFactor(int factor) {
    if (factor < kMinQualityFactor || factor > kMaxQualityFactor) factor = kDefaultQualityFactor;
    const int span = kMaxQualityFactor - kMinQualityFactor;
    return kBestJpegQuality - ((factor - kMinQualityFactor) * kJpegQualitySteps + span / 2) / span;
}

ImagingStatus Page::Save(const std::filesystem::path& path, int format, int bits_per_pixel,
                         int quality, int mode) {
    if (!pix_) return ImagingStatus::kBadArgument;
    if (format != kFormatTiff && format != kFormatJpeg) return ImagingStatus::kBadArgument;
    if (mode != kSaveNew && mode != kSaveAppend) return ImagingStatus::kBadArgument;
    // A JPEG file holds one page.
    if (format == kFormatJpeg && mode == kSaveAppend) return ImagingStatus::kBadArgument;
    // JPEG has no bilevel form: a bilevel page asked for JPEG is saved grey.
    if (format == kFormatJpeg && bits_per_pixel <= 0 && pixGetDepth(pix_.get()) == 1)
        bits_per_pixel = 8;
    if (format == kFormatJpeg && bits_per_pixel > 0 && bits_per_pixel <= 2) bits_per_pixel = 8;
    PixPtr pix = PixAtDepth(pix_.get(), bits_per_pixel);
    if (!pix) return ImagingStatus::kNoMemory;
    const int jpeg_quality = JpegQualityFromFactor(quality);

    ImagingStatus status;
    if (format == kFormatJpeg) {
        std::vector<std::uint8_t> bytes;
        status = EncodeJpeg(pix.get(), jpeg_quality, bytes) ? ReplaceFile(path, bytes)
                                                            : ImagingStatus::kWriteFailed;
    } else if (mode == kSaveAppend) {
        status = AppendTiffPage(path, pix.get(), jpeg_quality);
    } else {
        status = WriteNewTiff(path, pix.get(), jpeg_quality);
    }
    if (status == ImagingStatus::kOk) saved_ = true;
    return status;
}

}  // namespace scantora
