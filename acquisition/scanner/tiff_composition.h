// A TIFF written in memory on top of an existing file. Reads below the file's size come from
// the file; bytes written past it are kept in memory (the tail); writes into the existing
// bytes (the link from the last directory to a new one) are held back as patches. Nothing
// reaches the file until the caller commits tail and patches in the order it chooses.
#pragma once

#include <cstdint>
#include <vector>

#include "acquisition/scanner/tiff_handle.h"

namespace scantora {

class TiffComposition {
public:
    struct Patch {
        std::uint64_t offset;
        std::vector<std::uint8_t> bytes;
    };

    // A new file: nothing below the tail.
    TiffComposition() = default;
    // Over the first `base_size` bytes of the open file `base_fd`.
    TiffComposition(int base_fd, std::uint64_t base_size) : fd_(base_fd), base_size_(base_size) {}
    TiffComposition(const TiffComposition&) = delete;
    TiffComposition& operator=(const TiffComposition&) = delete;

    // `mode` "w" for a new file, "a" to add directories to the existing one.
    TiffHandle Open(const char* mode);

    std::uint64_t base_size() const { return base_size_; }
    const std::vector<std::uint8_t>& tail() const { return tail_; }
    const std::vector<Patch>& patches() const { return patches_; }
    // A read of the existing file failed.
    bool read_failed() const { return read_failed_; }

private:
    static tmsize_t Read(thandle_t self, void* data, tmsize_t size);
    static tmsize_t Write(thandle_t self, void* data, tmsize_t size);
    static toff_t Seek(thandle_t self, toff_t offset, int whence);
    static int CloseProc(thandle_t) { return 0; }
    static toff_t Size(thandle_t self);
    static int Map(thandle_t, void**, toff_t*) { return 0; }
    static void Unmap(thandle_t, void*, toff_t) {}

    std::uint64_t size() const { return base_size_ + tail_.size(); }

    int fd_ = -1;
    std::uint64_t base_size_ = 0;
    std::uint64_t position_ = 0;
    std::vector<std::uint8_t> tail_;
    std::vector<Patch> patches_;
    bool read_failed_ = false;
};

}  // namespace scantora
