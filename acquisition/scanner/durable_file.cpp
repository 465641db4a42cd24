#include "acquisition/scanner/durable_file.h"

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <vector>

namespace scantora {
namespace {

constexpr size_t kCopyChunk = 1 << 20;

// A name beside `path` that no other writer picks: hidden, with the process id and a count.
std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
    static std::atomic<unsigned> counter{0};
    const std::string name = "." + path.filename().string() + "." + std::to_string(getpid()) + "." +
                             std::to_string(counter++) + ".tmp";
    return path.parent_path() / name;
}

// Flushes the temporary file, renames it over `path` and flushes the directory (the flushes
// only for kOnDisk); removes the temporary file on failure.
ImagingStatus Publish(FileDescriptor& fd, const std::filesystem::path& temporary,
                      const std::filesystem::path& path, Durability durability) {
    const bool flush = durability == Durability::kOnDisk;
    if ((flush && fsync(fd.get()) != 0) || close(fd.release()) != 0 ||
        rename(temporary.c_str(), path.c_str()) != 0) {
        const ImagingStatus status = StatusFromErrno(errno);
        unlink(temporary.c_str());
        return status;
    }
    if (flush) SyncDirectory(path.parent_path());
    return ImagingStatus::kOk;
}

}  // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) close(fd_);
        fd_ = other.release();
    }
    return *this;
}

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
}

int FileDescriptor::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

ImagingStatus StatusFromErrno(int error) {
    switch (error) {
        case ENOSPC:
        case EFBIG:
        case EDQUOT:
            return ImagingStatus::kDiskFull;
        case ENOENT:
            return ImagingStatus::kFileNotFound;
        default:
            return ImagingStatus::kWriteFailed;
    }
}

bool WriteAt(int fd, std::span<const std::uint8_t> bytes, std::uint64_t offset) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote =
            pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (wrote < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (wrote == 0) {
            errno = ENOSPC;
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

bool SyncDirectory(const std::filesystem::path& directory) {
    const std::filesystem::path dir = directory.empty() ? "." : directory;
    FileDescriptor fd(open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd && fsync(fd.get()) == 0;
}

bool CopyContent(int from, int to) {
    off_t offset = 0;
    for (;;) {
        const ssize_t copied = copy_file_range(from, &offset, to, nullptr, kCopyChunk, 0);
        if (copied == 0) return true;
        if (copied > 0) continue;
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            return false;
        break;
    }
    // Across file systems the kernel still copies without a buffer of ours.
    while (lseek(to, offset, SEEK_SET) == offset) {
        const ssize_t sent = sendfile(to, from, &offset, kCopyChunk);
        if (sent == 0) return true;
        if (sent > 0) continue;
        if (errno == EINTR) continue;
        if (errno != ENOSYS && errno != EINVAL) return false;
        break;
    }
    // Older kernels and some file systems: plain reads and writes from where it stopped.
    std::vector<std::uint8_t> buffer(kCopyChunk);
    for (;;) {
        const ssize_t got = pread(from, buffer.data(), buffer.size(), offset);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) return true;
        const std::span<const std::uint8_t> chunk(buffer.data(), static_cast<size_t>(got));
        if (!WriteAt(to, chunk, static_cast<std::uint64_t>(offset))) return false;
        offset += got;
    }
}

ImagingStatus ReplaceFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                          Durability durability) {
    const std::filesystem::path temporary = TemporaryBeside(path);
    FileDescriptor fd(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!fd) return StatusFromErrno(errno);
    if (!WriteAt(fd.get(), bytes, 0)) {
        const ImagingStatus status = StatusFromErrno(errno);
        unlink(temporary.c_str());
        return status;
    }
    return Publish(fd, temporary, path, durability);
}

ImagingStatus RewriteFile(const std::filesystem::path& path,
                          const std::function<ImagingStatus(int fd)>& edit) {
    FileDescriptor source(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!source) return StatusFromErrno(errno);
    struct stat info {};
    if (fstat(source.get(), &info) != 0) return StatusFromErrno(errno);
    const std::filesystem::path temporary = TemporaryBeside(path);
    FileDescriptor copy(
        open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777));
    if (!copy) return StatusFromErrno(errno);
    ImagingStatus status = ImagingStatus::kOk;
    if (!CopyContent(source.get(), copy.get()))
        status = StatusFromErrno(errno);
    else
        status = edit(copy.get());
    if (status != ImagingStatus::kOk) {
        unlink(temporary.c_str());
        return status;
    }
    return Publish(copy, temporary, path, Durability::kOnDisk);
}

}  // namespace scantora
