// Hands decoded rows to the line callback: keeps the state's window, converts from the form the
// container stores to the requested output mode, and groups consecutive rows into chunks.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/decode/colour/colour_state.h"

namespace pixdoc {

// How a decoder holds a decoded row: palette indices, grey levels or red-green-blue triples.
enum class PixelForm { kIndex, kGrey, kRgb };

class ColourRowWriter {
public:
    // Rows are width pixels of `form`; file_order: rows may arrive in any order (one per call).
    ColourRowWriter(ColourDecoderState& state, PixelForm form, bool file_order);

    // False when the work memory could not be had (error 2 is set).
    bool Ready() const { return ready_; }
    // Hands over decoded row `row`. False when decoding must stop (callback refused: error 14).
    bool PutRow(int32_t row, const uint8_t* pixels);
    // Delivers the rows held back; false when the callback refused them.
    bool Finish();
    // Rows the decoder still has to produce for the window (rows below the window are useless).
    int32_t LastUsefulRow() const { return row_end_ - 1; }

private:
    void Convert(const uint8_t* pixels, uint8_t* out) const;
    bool Flush();

    ColourDecoderState& state_;
    PixelForm form_;
    bool ready_ = false;
    int32_t column_begin_ = 0, column_count_ = 0;
    int32_t row_begin_ = 0, row_end_ = 0;
    int32_t out_bytes_ = 1;
    int32_t chunk_rows_ = 1;
    std::vector<uint8_t> chunk_;
    int32_t chunk_first_ = 0, chunk_count_ = 0;
};

// Reads uncompressed rows from the current position several at a time, so that a page costs
// few large reads rather than one read per row.
class RowBlockReader {
public:
    RowBlockReader(ColourDecoderState& state, int32_t row_bytes);
    // The next row, reading a block of up to rows_left rows when the last one is used up; null
    // at the end of the data (rows read whole before it were all handed out) or without memory.
    const uint8_t* Next(int32_t rows_left);
    // Forgets the rows held (after a seek).
    void Drop() { held_ = next_ = 0; }

private:
    ColourDecoderState& state_;
    int32_t row_bytes_;
    int32_t block_rows_;
    std::vector<uint8_t> block_;
    int32_t held_ = 0, next_ = 0;
};

// Bytes per pixel a callback receives in the state's output mode.
int32_t OutputBytesPerPixel(const ColourDecoderState& state);

}  // namespace pixdoc
