// The bilevel path of a merge: the page is decoded at four times the size of the render area and
// every 4 x 4 block of decoded pixels becomes one grey pixel of the buffer, from the number of
// black pixels in it.
#include <algorithm>
#include <array>
#include <bit>
#include <new>
#include <vector>

#include "imaging/colour/colour_merge.h"
#include "imaging/decode/bilevel/band_face.h"
#include "imaging/decode/bilevel/line_face.h"
#include "imaging/io/file_access.h"
#include "imaging/window/zoom.h"

namespace pixdoc {
namespace {

constexpr int32_t kDecodeFactor = 4;
constexpr int32_t kLeftAlignment = 16;
constexpr int32_t kWidthAlignment = 32;
constexpr int32_t kHeightAlignment = 8;
constexpr int32_t kRowAccumulatorBytes = 8192;
constexpr int32_t kBlocksPerByte = 2;

// Set bits of the upper and of the lower half-byte of every byte value.
struct HalfByteCounts {
    std::array<uint8_t, 256> upper{}, lower{};
};
constexpr HalfByteCounts MakeHalfByteCounts() {
    HalfByteCounts t;
    for (int b = 0; b < 256; ++b) {
        t.upper[b] = static_cast<uint8_t>(std::popcount(static_cast<unsigned>(b >> 4)));
        t.lower[b] = static_cast<uint8_t>(std::popcount(static_cast<unsigned>(b & 0x0F)));
    }
    return t;
}
constexpr HalfByteCounts kHalfByteCounts = MakeHalfByteCounts();

// Grey level of a 4 x 4 block with n black pixels: 255 - 16 n, and 0 for a black block.
constexpr std::array<uint8_t, 17> kGreyLevels = {255, 239, 223, 207, 191, 175, 159, 143, 127,
                                                 111, 95,  79,  63,  47,  31,  15,  0};

struct RenderArea {
    int32_t left = 0, width = 0, height = 0;
};

// The decoder renders 16-aligned columns and whole groups of rows.
RenderArea AlignRenderArea(const EditRect& d) {
    RenderArea a;
    a.left = d.left / kLeftAlignment * kLeftAlignment;
    const int32_t right = d.right / kLeftAlignment * kLeftAlignment;
    a.width =
        std::max(0, (right - a.left + kWidthAlignment - 1) / kWidthAlignment * kWidthAlignment);
    a.height = (d.Height() + kHeightAlignment - 1) / kHeightAlignment * kHeightAlignment;
    return a;
}

bool SourceUsable(const EditRect& s, int32_t width, int32_t height) {
    return s.left >= 0 && s.top >= 0 && s.right <= width && s.bottom <= height &&
           s.left < s.right && s.top < s.bottom;
}

// Sums decoded rows four at a time and writes one grey row per four.
class GreyReducer {
public:
    GreyReducer(ColourEditState& edit, const EditRect& destination, const RenderArea& area,
                std::vector<uint8_t>& counts)
        : edit_(edit), destination_(destination), area_(area), counts_(counts) {}

    void AddBand(const ImageHeader& h) {
        const int32_t first = h.rows_delivered - h.band_rows;
        const int32_t blocks = std::min<int32_t>(
            {h.row_bytes * kBlocksPerByte, area_.width, static_cast<int32_t>(counts_.size())});
        for (int32_t r = 0; r < h.band_rows; ++r) {
            const int32_t row = first + r;
            if (row % kDecodeFactor == 0) std::fill(counts_.begin(), counts_.end(), 0);
            const uint8_t* in = h.band_buffer + static_cast<size_t>(r) * h.row_bytes;
            for (int32_t b = 0; b < blocks; b += kBlocksPerByte) {
                const uint8_t byte = in[b / kBlocksPerByte];
                counts_[b] += kHalfByteCounts.upper[byte];
                if (b + 1 < blocks) counts_[b + 1] += kHalfByteCounts.lower[byte];
            }
            if (row % kDecodeFactor == kDecodeFactor - 1) WriteRow(row / kDecodeFactor, blocks);
        }
    }

private:
    void WriteRow(int32_t group, int32_t blocks) {
        const int32_t y = destination_.top + group;
        if (y >= destination_.bottom || y >= edit_.height) return;
        const int32_t columns = std::min(blocks, edit_.width - area_.left);
        uint8_t* out = EditPixel(edit_, area_.left, y);
        for (int32_t x = 0; x < columns; ++x, out += 3)
            out[0] = out[1] = out[2] = kGreyLevels[std::min<int32_t>(counts_[x], 16)];
    }

    ColourEditState& edit_;
    const EditRect& destination_;
    const RenderArea& area_;
    std::vector<uint8_t>& counts_;
};

}  // namespace

int32_t MergeBilevelPage(ColourEditState& edit, const char* name, const EditRect& source,
                         const EditRect& destination) {
    const RenderArea area = AlignRenderArea(destination);
    const files::OpenedFile file(name);
    if (!file.ok()) return kMergeNotRecognised;
    ImageHeader& h = edit.merge_header;
    h.handle = file.handle();
    h.decode_flags = bilevel::kFlagSetUpNeeded;
    // Thin lines survive the reduction to a quarter.
    h.options = bilevel::kOptionOrLines | bilevel::kOptionKeepThinRuns;
    h.orientation = 0;
    h.output_width = area.width;
    h.output_height = area.height;
    const EditRect s =
        SourceUsable(source, h.width, h.height) ? source : EditRect{0, 0, h.width, h.height};
    WinZoomPoints(h, s.left, s.top, s.right, s.bottom);
    h.output_width *= kDecodeFactor;
    h.output_height *= kDecodeFactor;
    h.horizontal_scale *= kDecodeFactor;
    h.vertical_scale *= kDecodeFactor;

    // One count per 4 x 4 block of a row; wider render areas get a larger accumulator.
    std::vector<uint8_t> counts;
    try {
        counts.assign(static_cast<size_t>(std::max(kRowAccumulatorBytes, area.width)), 0);
    } catch (const std::bad_alloc&) {
        return kMergeNoMemory;
    }
    GreyReducer reducer(edit, destination, area, counts);
    int32_t result = Decompress(&h);
    if (result == bilevel::kSetUpFailed) return kMergeDecodeFailed;
    for (; result == bilevel::kBandReady; result = Decompress(&h)) {
        if (h.band_rows > 0 && h.band_buffer) reducer.AddBand(h);
    }
    return kMerged;
}

}  // namespace pixdoc
