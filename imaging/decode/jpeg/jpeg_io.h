// The JPEG decoder's two outside connections: where the stream's bytes come from and where the
// decoded rows go. The colour decoder state adapts itself to these; tests and the fuzzer use
// the memory source.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pixdoc::jpeg {

// Bytes of one JPEG stream; offsets count from the stream's first byte (its SOI).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Moves the read position; false when the offset cannot be reached.
    virtual bool Seek(uint64_t offset) = 0;
    // Reads up to `size` bytes at the read position; returns the count (0 at the end), or -1
    // when the read fails.
    virtual int64_t Read(uint8_t* into, size_t size) = 0;
};

// Receives decoded rows: `rows` holds rows first_row .. row_after_last - 1, each `columns`
// pixels of 1 byte (grey level or palette index) or 3 bytes (red, green, blue). A non-zero
// result stops decoding.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual int DeliverRows(int first_column, int first_row, int columns, int row_after_last,
                            const uint8_t* rows) = 0;
};

// A stream held in memory; the fuzzer and the tests read through it.
class MemoryByteSource final : public ByteSource {
public:
    MemoryByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Seek(uint64_t offset) override {
        if (offset > size_) return false;
        position_ = static_cast<size_t>(offset);
        return true;
    }
    int64_t Read(uint8_t* into, size_t size) override {
        size_t n = size < size_ - position_ ? size : size_ - position_;
        if (n > 0) std::memcpy(into, data_ + position_, n);
        position_ += n;
        return static_cast<int64_t>(n);
    }
    size_t position() const { return position_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

}  // namespace pixdoc::jpeg
