// The GIF variable-length LZW decoder: codes packed least significant bit first in data
// sub-blocks, code size growing from the minimum code size + 1 up to 12 bits, clear and end codes.
#pragma once

#include <cstdint>

#include "imaging/decode/colour/colour_state.h"

namespace pixdoc {

class GifLzwDecoder {
public:
    enum class Status { kOk, kEnd, kInvalidCode };

    // minimum_code_size: the byte before the data sub-blocks (1 to 11).
    explicit GifLzwDecoder(int minimum_code_size);

    // Produces up to count pixels. Returns kEnd at the end code or the end of the data
    // (produced tells how many pixels came before it) and kInvalidCode for a code that names no
    // dictionary entry.
    Status Read(ColourDecoderState& source, uint8_t* out, int32_t count, int32_t& produced);

private:
    static constexpr int kMaxCodes = 4096;
    static constexpr int kMaxCodeSize = 12;

    int NextCode(ColourDecoderState& source);  // -1 at the end of the data
    void Clear();

    int minimum_code_size_;
    int clear_code_, end_code_;
    int code_size_ = 0, next_code_ = 0;
    int previous_ = -1;
    uint8_t first_ = 0;
    uint16_t prefix_[kMaxCodes] = {};
    uint8_t suffix_[kMaxCodes] = {};
    uint8_t stack_[kMaxCodes + 1] = {};
    int stack_size_ = 0;
    uint32_t bits_ = 0;
    int bit_count_ = 0;
    int block_left_ = 0;
    bool data_ended_ = false;
};

}  // namespace pixdoc
