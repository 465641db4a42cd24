#include "imaging/window/colour_strips.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "imaging/decode/colour/colour_page.h"
#include "imaging/decode/colour_error_code.h"
#include "imaging/io/file_access.h"

namespace pixdoc {
namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint8_t kWhiteByte = 0xFF;
constexpr int32_t kUnknownFailure = -1;

uint32_t Rgb(const uint8_t* p) {
    return kOpaque | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
}

struct FileGuard {
    int32_t handle;
    ~FileGuard() { files::FileClose(handle); }
};

int RowsArrived(void* user, int32_t, int32_t first_row, int32_t columns, int32_t end_row,
                const uint8_t* rows) {
    return static_cast<ColourStrips*>(user)->PutRows(first_row, columns, end_row, rows) ? 0 : 1;
}

}  // namespace

int32_t ColourStrips::Decode(const char* name, int32_t page, const ImageHeader& header) {
    Clear();
    SetColourError(kColourOk);
    const FileGuard file{files::FileOpen(name)};
    if (file.handle == files::kInvalidHandle) return kErrFileHandle;
    // The decoder state holds an 8 KB input buffer: on the heap, not the stack.
    auto state = std::make_unique<ColourDecoderState>();
    ColourPalette palette = {};
    if (OpenColourPage(*state, file.handle, page, header.data_offset, palette) != 0)
        return state->error_code != kColourOk ? state->error_code : kUnknownFailure;

    const bool rgb = state->output_mode == ColourOutputMode::kRgb;
    width_ = state->width;
    height_ = std::min(state->height, kMaxColourStrips * kColourStripRows);
    bytes_per_pixel_ = rgb ? 3 : 1;
    for (int32_t i = 0; i < 256; ++i)
        display_palette_[i] = Rgb(palette[i]);
    strips_.resize(static_cast<size_t>((height_ + kColourStripRows - 1) / kColourStripRows));

    state->window_rows = height_;
    state->line_callback = &RowsArrived;
    state->callback_user = this;
    const int result = DecodeColourImage(*state);
    state->palette = nullptr;
    if (result == 0) return kColourOk;
    const int32_t code = state->error_code != kColourOk ? state->error_code : GetColourError();
    Clear();
    // A failure that left no code still shows a text: the one for unknown codes.
    return code != kColourOk ? code : kUnknownFailure;
}

void ColourStrips::Clear() {
    strips_.clear();
    strips_.shrink_to_fit();
    width_ = height_ = 0;
    bytes_per_pixel_ = 1;
}

const uint8_t* ColourStrips::Row(int32_t y) const {
    const auto& strip = strips_[static_cast<size_t>(y / kColourStripRows)];
    if (!strip) return nullptr;
    return strip.get() + static_cast<size_t>(y % kColourStripRows) * width_ * bytes_per_pixel_;
}

uint8_t* ColourStrips::StripFor(int32_t row) {
    auto& strip = strips_[static_cast<size_t>(row / kColourStripRows)];
    if (strip) return strip.get();
    const size_t bytes = static_cast<size_t>(width_) * bytes_per_pixel_ * kColourStripRows;
    strip.reset(new (std::nothrow) uint8_t[bytes]);
    if (strip) std::memset(strip.get(), kWhiteByte, bytes);
    return strip.get();
}

bool ColourStrips::PutRows(int32_t first_row, int32_t columns, int32_t end_row,
                           const uint8_t* rows) {
    const size_t in_bytes = static_cast<size_t>(columns) * bytes_per_pixel_;
    const size_t copy = std::min<size_t>(in_bytes, static_cast<size_t>(width_) * bytes_per_pixel_);
    const size_t row_bytes = static_cast<size_t>(width_) * bytes_per_pixel_;
    // Bound: only rows inside the kept height are stored; the rest of a taller page is dropped.
    for (int32_t row = std::max(first_row, 0); row < std::min(end_row, height_); ++row) {
        uint8_t* strip = StripFor(row);
        if (!strip) {
            RaiseColourError(kErrNoMemory);
            return false;
        }
        std::memcpy(strip + static_cast<size_t>(row % kColourStripRows) * row_bytes,
                    rows + static_cast<size_t>(row - first_row) * in_bytes, copy);
    }
    return true;
}

}  // namespace pixdoc
