#include "imaging/decode/colour/colour_rows.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "imaging/decode/colour_error_code.h"

namespace pixdoc {
namespace {

// Rows per callback call when the caller leaves it to the decoder: about 64 KiB of pixels.
constexpr int32_t kChunkBytes = 65536;
constexpr int32_t kMaxChunkRows = 64;
// Uncompressed rows are read in blocks of about this size.
constexpr int32_t kBlockBytes = 256 * 1024;
// A caller's chunk size is held to this many bytes of rows.
constexpr int64_t kMaxChunkBytes = 16 << 20;

// ITU-R BT.601 luma in 1/1024 steps, used when colour must be delivered as grey.
uint8_t Luma(const uint8_t* rgb) {
    return static_cast<uint8_t>((306 * rgb[0] + 601 * rgb[1] + 117 * rgb[2] + 512) >> 10);
}

}  // namespace

int32_t OutputBytesPerPixel(const ColourDecoderState& state) {
    return state.output_mode == ColourOutputMode::kRgb ? 3 : 1;
}

ColourRowWriter::ColourRowWriter(ColourDecoderState& state, PixelForm form, bool file_order)
    : state_(state), form_(form) {
    column_begin_ = std::clamp(state.window_first_column, 0, state.width);
    column_count_ = state.width - column_begin_;
    if (state.window_columns > 0) column_count_ = std::min(column_count_, state.window_columns);
    row_begin_ = std::clamp(state.window_first_row, 0, state.height);
    row_end_ = state.height;
    if (state.window_rows > 0) row_end_ = std::min(row_end_, row_begin_ + state.window_rows);
    out_bytes_ = OutputBytesPerPixel(state);
    const int32_t row_bytes = std::max(1, column_count_ * out_bytes_);
    chunk_rows_ = state.rows_per_chunk > 0 ? state.rows_per_chunk
                                           : std::clamp(kChunkBytes / row_bytes, 1, kMaxChunkRows);
    chunk_rows_ = static_cast<int32_t>(
        std::clamp<int64_t>(chunk_rows_, 1, std::max<int64_t>(1, kMaxChunkBytes / row_bytes)));
    if (file_order) chunk_rows_ = 1;
    chunk_rows_ = std::min(chunk_rows_, std::max(1, row_end_ - row_begin_));
    state.rows_per_chunk = chunk_rows_;
    state.row_counter = row_begin_;
    try {
        chunk_.resize(static_cast<size_t>(row_bytes) * static_cast<size_t>(chunk_rows_));
        ready_ = true;
    } catch (const std::bad_alloc&) {
        ColourFail(state, kErrNoMemory);
    }
}

void ColourRowWriter::Convert(const uint8_t* pixels, uint8_t* out) const {
    const int32_t in_bytes = form_ == PixelForm::kRgb ? 3 : 1;
    const uint8_t* in = pixels + static_cast<size_t>(column_begin_) * in_bytes;
    const int32_t n = column_count_;
    const bool to_rgb = out_bytes_ == 3;
    if (form_ == PixelForm::kRgb) {
        if (to_rgb) {
            std::memcpy(out, in, static_cast<size_t>(n) * 3);
        } else {
            for (int32_t i = 0; i < n; ++i)
                out[i] = Luma(in + 3 * i);
        }
        return;
    }
    if (!to_rgb) {
        // Indices stay indices; a grey request of a palette image gives the entries' luma.
        if (form_ == PixelForm::kIndex && state_.output_mode == ColourOutputMode::kGrey &&
            state_.palette) {
            for (int32_t i = 0; i < n; ++i)
                out[i] = Luma((*state_.palette)[in[i]]);
        } else {
            std::memcpy(out, in, static_cast<size_t>(n));
        }
        return;
    }
    for (int32_t i = 0; i < n; ++i) {
        uint8_t* o = out + 3 * i;
        if (form_ == PixelForm::kIndex && state_.palette) {
            std::memcpy(o, (*state_.palette)[in[i]], 3);
        } else {
            o[0] = o[1] = o[2] = in[i];
        }
    }
}

bool ColourRowWriter::PutRow(int32_t row, const uint8_t* pixels) {
    if (row < row_begin_ || row >= row_end_ || column_count_ <= 0) return true;
    if (chunk_count_ > 0 && (row != chunk_first_ + chunk_count_ || chunk_count_ == chunk_rows_))
        if (!Flush()) return false;
    if (chunk_count_ == 0) chunk_first_ = row;
    const size_t row_bytes = static_cast<size_t>(column_count_) * out_bytes_;
    Convert(pixels, chunk_.data() + row_bytes * chunk_count_);
    ++chunk_count_;
    return true;
}

bool ColourRowWriter::Flush() {
    const int32_t first = chunk_first_, count = chunk_count_;
    chunk_count_ = 0;
    if (count == 0) return true;
    state_.row_counter = first + count;
    if (!state_.line_callback) return true;
    if (state_.line_callback(state_.callback_user, column_begin_, first, column_count_,
                             first + count, chunk_.data()) != 0) {
        ColourFail(state_, kErrCallback);
        return false;
    }
    return true;
}

bool ColourRowWriter::Finish() {
    return Flush();
}

RowBlockReader::RowBlockReader(ColourDecoderState& state, int32_t row_bytes)
    : state_(state),
      row_bytes_(std::max(1, row_bytes)),
      block_rows_(std::max(1, kBlockBytes / std::max(1, row_bytes))) {}

const uint8_t* RowBlockReader::Next(int32_t rows_left) {
    if (next_ < held_) return block_.data() + static_cast<size_t>(next_++) * row_bytes_;
    const int32_t rows = std::clamp(rows_left, 1, block_rows_);
    try {
        if (block_.size() < static_cast<size_t>(rows) * row_bytes_)
            block_.resize(static_cast<size_t>(rows) * row_bytes_);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    const int32_t got = ColourRead(state_, block_.data(), rows * row_bytes_);
    held_ = got / row_bytes_;
    next_ = 0;
    if (held_ == 0) return nullptr;
    return block_.data() + static_cast<size_t>(next_++) * row_bytes_;
}

}  // namespace pixdoc
