// The page image and its corrections: invert, deskew, rotate.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

#include "acquisition/scanner/page_pix.h"

namespace scantora {
namespace {

constexpr int kQuarterTurn = 9000;  // hundredths of a degree
constexpr int kFullTurn = 4 * kQuarterTurn;
constexpr double kHundredthsPerDegree = 100.0;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr int kGreyMidpoint = 128;

// Skew search: a coarse sweep at 1/4 size over +-7 degrees, refined at 1/2 size to 0.01.
constexpr int kSweepReduction = 4;
constexpr int kSearchReduction = 2;
constexpr float kSweepRangeDegrees = 7.0f;
constexpr float kSweepStepDegrees = 1.0f;
constexpr float kSearchPrecisionDegrees = 0.01f;
// Below this confidence the text lines are not trusted; below this angle nothing is turned.
constexpr float kMinConfidence = 3.0f;
constexpr float kMinDeskewDegrees = 0.1f;
// Threshold that makes grey and colour pages bilevel for the skew search.
constexpr int kSkewThreshold = 130;

int Luminance(std::uint32_t rgb) {
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return (299 * r + 587 * g + 114 * b + 500) / 1000;
}

// The pixel value of `rgb` at depth `depth`.
l_uint32 FillValue(int depth, std::uint32_t rgb) {
    if (depth == 1) return Luminance(rgb) < kGreyMidpoint ? 1 : 0;
    if (depth == 8) return static_cast<l_uint32>(Luminance(rgb));
    l_uint32 pixel = 0;
    composeRGBPixel((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF, &pixel);
    return pixel;
}

// Turns `pix` clockwise by `radians`, corners filled with `fill_rgb`.
PixPtr RotateBy(PIX* pix, double radians, bool resize, std::uint32_t fill_rgb) {
    const int depth = pixGetDepth(pix);
    const int type = depth == 1 ? L_ROTATE_SAMPLING : L_ROTATE_AREA_MAP;
    const int w = resize ? pixGetWidth(pix) : 0;
    const int h = resize ? pixGetHeight(pix) : 0;
    const auto angle = static_cast<l_float32>(radians);
    PixPtr turned(pixRotate(pix, angle, type, L_BRING_IN_WHITE, w, h));
    if (!turned || (fill_rgb & kWhite) == kWhite) return turned;
    // The corners brought in are found by turning an empty mask that brings in ones.
    PixPtr mask(pixCreate(pixGetWidth(pix), pixGetHeight(pix), 1));
    if (!mask) return nullptr;
    PixPtr corners(pixRotate(mask.get(), angle, L_ROTATE_SAMPLING, L_BRING_IN_BLACK, w, h));
    if (!corners || pixSetMasked(turned.get(), corners.get(), FillValue(depth, fill_rgb)) != 0)
        return nullptr;
    return turned;
}

}  // namespace

void PixRelease::operator()(Pix* pix) const {
    pixDestroy(&pix);
}

Page::Page() = default;
Page::~Page() = default;
Page::Page(Page&&) noexcept = default;
Page& Page::operator=(Page&&) noexcept = default;

bool Page::Empty() const {
    return pix_ == nullptr;
}

Page Page::Clone() const {
    if (!pix_) return Page();
    Page copy = PageAccess::Adopt(PixPtr(pixCopy(nullptr, pix_.get())));
    copy.photometric_ = photometric_;
    return copy;
}

int Page::BitsPerPixel() const {
    if (!pix_) return 0;
    const int depth = pixGetDepth(pix_.get());
    return depth == 32 ? 24 : depth;
}

int Page::Photometric() const {
    return photometric_;
}
int Page::Width() const {
    return pix_ ? pixGetWidth(pix_.get()) : 0;
}
int Page::Height() const {
    return pix_ ? pixGetHeight(pix_.get()) : 0;
}
int Page::XResolution() const {
    return pix_ ? pixGetXRes(pix_.get()) : 0;
}
int Page::YResolution() const {
    return pix_ ? pixGetYRes(pix_.get()) : 0;
}

void Page::Invert() {
    if (pix_) pixInvert(pix_.get(), pix_.get());
}

double Page::Deskew() {
    if (!pix_) return 0;
    PixPtr bilevel(pixConvertTo1(pix_.get(), kSkewThreshold));
    if (!bilevel) return 0;
    l_float32 straightening = 0, confidence = 0;
    if (pixFindSkewSweepAndSearch(bilevel.get(), &straightening, &confidence, kSweepReduction,
                                  kSearchReduction, kSweepRangeDegrees, kSweepStepDegrees,
                                  kSearchPrecisionDegrees) != 0 ||
        confidence < kMinConfidence)
        return 0;
    // Leptonica gives the clockwise turn that straightens the page.
    if (std::fabs(straightening) >= kMinDeskewDegrees) {
        const double radians = straightening * std::numbers::pi / 180.0;
        if (PixPtr turned = RotateBy(pix_.get(), radians, false, kWhite)) pix_ = std::move(turned);
    }
    return -straightening;
}

ImagingStatus Page::Rotate(int hundredths, bool resize, std::uint32_t fill_rgb) {
    if (!pix_) return ImagingStatus::kBadArgument;
    const int turn = ((hundredths % kFullTurn) + kFullTurn) % kFullTurn;
    if (turn == 0) return ImagingStatus::kOk;
    PixPtr turned;
    if (turn % kQuarterTurn == 0) {
        const int quads = turn / kQuarterTurn;
        turned.reset(pixRotateOrth(pix_.get(), quads));
        if (turned && quads % 2 == 1)
            pixSetResolution(turned.get(), pixGetYRes(pix_.get()), pixGetXRes(pix_.get()));
    } else {
        const double radians = turn / kHundredthsPerDegree * std::numbers::pi / 180.0;
        turned = RotateBy(pix_.get(), radians, resize, fill_rgb);
    }
    if (!turned) return ImagingStatus::kNoMemory;
    pix_ = std::move(turned);
    return ImagingStatus::kOk;
}

int Page::BytesPerRow() const {
    if (!pix_) return 0;
    const int width = pixGetWidth(pix_.get());
    switch (pixGetDepth(pix_.get())) {
        case 1:
            return (width + 7) / 8;
        case 8:
            return width;
        default:
            return 3 * width;
    }
}

void Page::ReadRow(int y, std::span<std::uint8_t> out) const {
    const int bytes = BytesPerRow();
    if (!pix_ || y < 0 || y >= Height() || out.size() < static_cast<size_t>(bytes)) return;
    const l_uint32* row = pixGetData(pix_.get()) + static_cast<size_t>(y) * pixGetWpl(pix_.get());
    if (pixGetDepth(pix_.get()) == 1) {
        PackWords(row, bytes, out.data());
        // Bits past the width are no pixels of the page.
        if (const int spare = 8 * bytes - Width(); spare > 0)
            out[bytes - 1] &= static_cast<std::uint8_t>(0xFF << spare);
        return;
    }
    if (pixGetDepth(pix_.get()) == 8) return PackWords(row, bytes, out.data());
    for (int x = 0; x < Width(); ++x) {
        out[3 * x] = static_cast<std::uint8_t>(row[x] >> L_RED_SHIFT);
        out[3 * x + 1] = static_cast<std::uint8_t>(row[x] >> L_GREEN_SHIFT);
        out[3 * x + 2] = static_cast<std::uint8_t>(row[x] >> L_BLUE_SHIFT);
    }
}

void PackWords(const l_uint32* words, int bytes, std::uint8_t* out) {
    const int whole = bytes / 4;
    for (int i = 0; i < whole; ++i) {
        const l_uint32 w =
            std::endian::native == std::endian::little ? __builtin_bswap32(words[i]) : words[i];
        std::memcpy(out + 4 * i, &w, 4);
    }
    for (int i = 4 * whole; i < bytes; ++i)
        out[i] = static_cast<std::uint8_t>(words[i / 4] >> (24 - 8 * (i % 4)));
}

void UnpackWords(const std::uint8_t* bytes, int count, l_uint32* words) {
    const int whole = count / 4;
    for (int i = 0; i < whole; ++i) {
        l_uint32 w;
        std::memcpy(&w, bytes + 4 * i, 4);
        words[i] = std::endian::native == std::endian::little ? __builtin_bswap32(w) : w;
    }
    if (count % 4 == 0) return;
    l_uint32 last = 0;
    for (int i = 4 * whole; i < count; ++i)
        last |= l_uint32{bytes[i]} << (24 - 8 * (i % 4));
    words[whole] = last;
}

PixPtr NormalisePix(PixPtr pix) {
    if (!pix) return nullptr;
    if (pixGetColormap(pix.get())) {
        const int type =
            pixGetDepth(pix.get()) == 1 ? REMOVE_CMAP_TO_BINARY : REMOVE_CMAP_BASED_ON_SRC;
        pix.reset(pixRemoveColormap(pix.get(), type));
        if (!pix) return nullptr;
    }
    switch (pixGetDepth(pix.get())) {
        case 1:
        case 8:
        case 32:
            return pix;
        case 24:
            return PixPtr(pixConvertTo32(pix.get()));
        default:
            return PixPtr(pixConvertTo8(pix.get(), 0));
    }
}

PixPtr PixAtDepth(PIX* pix, int bits_per_pixel) {
    const int depth = pixGetDepth(pix);
    const int wanted = bits_per_pixel <= 0   ? depth
                       : bits_per_pixel <= 2 ? 1
                       : bits_per_pixel <= 8 ? 8
                                             : 32;
    if (wanted == depth) return PixPtr(pixClone(pix));
    switch (wanted) {
        case 1:
            return PixPtr(pixConvertTo1(pix, kGreyMidpoint));
        case 8:
            return PixPtr(pixConvertTo8(pix, 0));
        default:
            return PixPtr(pixConvertTo32(pix));
    }
}

}  // namespace scantora
