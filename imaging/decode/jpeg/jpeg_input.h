// The decoder's input buffer: 8192 bytes of stream data plus a reserve, refilled from the byte
// source by moving the unread rest to the front.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/decode/jpeg/jpeg_io.h"

namespace pixdoc::jpeg {

constexpr size_t kInputBufferSize = 8192;
constexpr size_t kInputReserve = 256;

class Input {
public:
    explicit Input(ByteSource& source);

    // Seeks the source to `offset` from the stream start and empties the buffer.
    bool Restart(uint64_t offset);
    // Makes at least `count` unread bytes available when the stream has them; returns how
    // many are available (possibly fewer). `count` is at most kInputBufferSize.
    size_t Ensure(size_t count);
    // True when the source failed to read (not merely ended).
    bool read_failed() const { return read_failed_; }

    size_t available() const { return end_ - pos_; }
    const uint8_t* data() const { return buffer_.data() + pos_; }
    uint8_t Peek(size_t at) const { return buffer_[pos_ + at]; }
    void Advance(size_t count) { pos_ += count; }
    // Next byte; the caller has made it available.
    uint8_t Take() { return buffer_[pos_++]; }

private:
    ByteSource& source_;
    std::vector<uint8_t> buffer_;
    size_t pos_ = 0;
    size_t end_ = 0;
    bool read_failed_ = false;
};

}  // namespace pixdoc::jpeg
