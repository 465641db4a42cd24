#include "imaging/decode/colour/gif_lzw.h"

namespace pixdoc {

GifLzwDecoder::GifLzwDecoder(int minimum_code_size)
    : minimum_code_size_(minimum_code_size),
      clear_code_(1 << minimum_code_size),
      end_code_((1 << minimum_code_size) + 1) {
    for (int i = 0; i < clear_code_; ++i)
        suffix_[i] = static_cast<uint8_t>(i);
    Clear();
}

void GifLzwDecoder::Clear() {
    code_size_ = minimum_code_size_ + 1;
    next_code_ = clear_code_ + 2;
    previous_ = -1;
}

int GifLzwDecoder::NextCode(ColourDecoderState& source) {
    while (bit_count_ < code_size_) {
        if (data_ended_) return -1;
        if (block_left_ == 0) {
            const int size = ColourReadByte(source);
            if (size <= 0) {
                data_ended_ = true;
                return -1;
            }
            block_left_ = size;
        }
        const int byte = ColourReadByte(source);
        if (byte < 0) {
            data_ended_ = true;
            return -1;
        }
        --block_left_;
        bits_ |= static_cast<uint32_t>(byte) << bit_count_;
        bit_count_ += 8;
    }
    const int code = static_cast<int>(bits_ & ((1u << code_size_) - 1));
    bits_ >>= code_size_;
    bit_count_ -= code_size_;
    return code;
}

GifLzwDecoder::Status GifLzwDecoder::Read(ColourDecoderState& source, uint8_t* out, int32_t count,
                                          int32_t& produced) {
    produced = 0;
    while (produced < count) {
        if (stack_size_ > 0) {
            out[produced++] = stack_[--stack_size_];
            continue;
        }
        int code = NextCode(source);
        if (code < 0 || code == end_code_) return Status::kEnd;
        if (code == clear_code_) {
            Clear();
            continue;
        }
        if (previous_ < 0) {
            // After a clear only a literal can follow.
            if (code > clear_code_) return Status::kInvalidCode;
            previous_ = code;
            first_ = static_cast<uint8_t>(code);
            out[produced++] = first_;
            continue;
        }
        const int incoming = code;
        if (code > next_code_ || (code == next_code_ && next_code_ >= kMaxCodes))
            return Status::kInvalidCode;
        if (code == next_code_) {
            // The code being defined: previous string plus its own first byte.
            stack_[stack_size_++] = first_;
            code = previous_;
        }
        // Each entry's prefix is a smaller code, so the walk ends within kMaxCodes steps.
        while (code > end_code_) {
            stack_[stack_size_++] = suffix_[code];
            code = prefix_[code];
        }
        first_ = suffix_[code];
        stack_[stack_size_++] = first_;
        if (next_code_ < kMaxCodes) {
            prefix_[next_code_] = static_cast<uint16_t>(previous_);
            suffix_[next_code_] = first_;
            ++next_code_;
            if (next_code_ == (1 << code_size_) && code_size_ < kMaxCodeSize) ++code_size_;
        }
        previous_ = incoming;
    }
    return Status::kOk;
}

}  // namespace pixdoc
