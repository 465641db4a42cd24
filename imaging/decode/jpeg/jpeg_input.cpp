#include "imaging/decode/jpeg/jpeg_input.h"

#include <cstring>

namespace pixdoc::jpeg {

Input::Input(ByteSource& source) : source_(source), buffer_(kInputBufferSize + kInputReserve) {}

bool Input::Restart(uint64_t offset) {
    pos_ = end_ = 0;
    read_failed_ = false;
    return source_.Seek(offset);
}

size_t Input::Ensure(size_t count) {
    if (end_ - pos_ >= count) return end_ - pos_;
    if (pos_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    while (end_ < count && !read_failed_) {
        int64_t got = source_.Read(buffer_.data() + end_, kInputBufferSize - end_);
        if (got < 0) read_failed_ = true;
        if (got <= 0) break;
        end_ += static_cast<size_t>(got);
    }
    return end_ - pos_;
}

}  // namespace pixdoc::jpeg
