// Page files replaced whole or grown at the end, so that a failure at any moment (a full
// disk, the program killed) leaves the file as it was or complete.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

#include "acquisition/scanner/imaging_control.h"

namespace scantora {

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    ~FileDescriptor();

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release();

private:
    int fd_ = -1;
};

// ENOSPC, EFBIG and EDQUOT are a full disk; ENOENT a missing file; the rest a failed write.
ImagingStatus StatusFromErrno(int error);

// Writes all of `bytes` at `offset`; false with errno set otherwise.
bool WriteAt(int fd, std::span<const std::uint8_t> bytes, std::uint64_t offset);

// Copies everything of `from` from its start into `to` at the same offsets; false with errno set
// when a read or write fails. The kernel copies where it can.
bool CopyContent(int from, int to);

// Flushes `directory` itself, so that names made or removed in it survive a power cut.
bool SyncDirectory(const std::filesystem::path& directory);

// How far ReplaceFile takes the new content before it returns.
enum class Durability {
    kOnDisk,      // flushed with its name: a power cut keeps it
    kAtomicOnly,  // readers see the old or the new file whole; a power cut may lose the new one
};

// Writes `bytes` into a new file beside `path`, flushes it to the disk unless told otherwise
// and renames it over `path`.
ImagingStatus ReplaceFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                          Durability durability = Durability::kOnDisk);

// Copies `path` into a new file beside it, lets `edit` change the copy through its
// descriptor, flushes it and renames it over `path`; `path` is untouched unless all succeed.
ImagingStatus RewriteFile(const std::filesystem::path& path,
                          const std::function<ImagingStatus(int fd)>& edit);

}  // namespace scantora
