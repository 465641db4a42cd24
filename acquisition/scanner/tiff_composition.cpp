#include "acquisition/scanner/tiff_composition.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace scantora {
namespace {

// libtiff never asks for more than this in one call; larger sizes are refused as corrupt.
constexpr std::uint64_t kMaxTiffSize = std::uint64_t{1} << 40;

}  // namespace

TiffHandle TiffComposition::Open(const char* mode) {
    position_ = 0;
    const TiffClientProcs procs{this, &Read, &Write, &Seek, &CloseProc, &Size, &Map, &Unmap};
    return TiffHandle::OpenClient("page", mode, procs);
}

tmsize_t TiffComposition::Read(thandle_t self, void* data, tmsize_t size) {
    auto& c = *static_cast<TiffComposition*>(self);
    auto* out = static_cast<std::uint8_t*>(data);
    tmsize_t done = 0;
    while (done < size) {
        const std::uint64_t at = c.position_ + static_cast<std::uint64_t>(done);
        const auto wanted = static_cast<std::uint64_t>(size - done);
        if (at < c.base_size_) {
            const size_t n = static_cast<size_t>(std::min(wanted, c.base_size_ - at));
            const ssize_t got = pread(c.fd_, out + done, n, static_cast<off_t>(at));
            if (got <= 0) {
                c.read_failed_ = got < 0;
                break;
            }
            done += got;
        } else {
            const std::uint64_t in_tail = at - c.base_size_;
            if (in_tail >= c.tail_.size()) break;
            const size_t n = static_cast<size_t>(std::min(wanted, c.tail_.size() - in_tail));
            std::memcpy(out + done, c.tail_.data() + in_tail, n);
            done += static_cast<tmsize_t>(n);
        }
    }
    c.position_ += static_cast<std::uint64_t>(done);
    return done;
}

tmsize_t TiffComposition::Write(thandle_t self, void* data, tmsize_t size) {
    auto& c = *static_cast<TiffComposition*>(self);
    const auto* in = static_cast<const std::uint8_t*>(data);
    const auto count = static_cast<std::uint64_t>(size);
    if (size < 0 || c.position_ + count > kMaxTiffSize) return -1;
    std::uint64_t done = 0;
    if (c.position_ < c.base_size_) {
        const std::uint64_t n = std::min(count, c.base_size_ - c.position_);
        c.patches_.push_back({c.position_, std::vector<std::uint8_t>(in, in + n)});
        done = n;
    }
    if (done < count) {
        const std::uint64_t in_tail = c.position_ + done - c.base_size_;
        if (c.tail_.size() < in_tail + (count - done)) c.tail_.resize(in_tail + (count - done));
        std::memcpy(c.tail_.data() + in_tail, in + done, count - done);
    }
    c.position_ += count;
    return size;
}

toff_t TiffComposition::Seek(thandle_t self, toff_t offset, int whence) {
    auto& c = *static_cast<TiffComposition*>(self);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR) base = c.position_;
    if (whence == SEEK_END) base = c.size();
    const std::uint64_t target = base + offset;
    if (target > kMaxTiffSize) return static_cast<toff_t>(-1);
    c.position_ = target;
    return target;
}

toff_t TiffComposition::Size(thandle_t self) {
    return static_cast<TiffComposition*>(self)->size();
}

}  // namespace scantora
