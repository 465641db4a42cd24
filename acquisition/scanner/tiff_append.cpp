#include "acquisition/scanner/tiff_append.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "acquisition/scanner/durable_file.h"
#include "acquisition/scanner/page_encoding.h"
#include "acquisition/scanner/tiff_chain.h"
#include "acquisition/scanner/tiff_composition.h"

namespace scantora {
namespace {

// Undoes a commit that failed before the link; the old pages were never referenced from the
// new bytes, so the file is as before.
ImagingStatus Abandon(int fd, std::uint64_t old_size, int error) {
    const ImagingStatus status = StatusFromErrno(error);
    if (ftruncate(fd, static_cast<off_t>(old_size)) == 0) fdatasync(fd);
    return status;
}

ImagingStatus Commit(int fd, const TiffComposition& composition) {
    const auto& link = composition.patches().front();
    if (!WriteAt(fd, composition.tail(), composition.base_size()) || fdatasync(fd) != 0)
        return Abandon(fd, composition.base_size(), errno);
    if (!WriteAt(fd, link.bytes, link.offset)) return Abandon(fd, composition.base_size(), errno);
    // Once linked the new page is part of the file: cutting it off now would break the chain.
    return fdatasync(fd) == 0 ? ImagingStatus::kOk : StatusFromErrno(errno);
}

}  // namespace

ImagingStatus WriteNewTiff(const std::filesystem::path& path, PIX* pix, int quality) {
    TiffComposition composition;
    TiffHandle tiff = composition.Open("w");
    if (!tiff || !WriteTiffPage(tiff.get(), pix, quality) || !tiff.Close())
        return ImagingStatus::kWriteFailed;
    return ReplaceFile(path, composition.tail());
}

ImagingStatus AppendTiffPage(const std::filesystem::path& path, PIX* pix, int quality) {
    FileDescriptor fd(open(path.c_str(), O_RDWR | O_CLOEXEC));
    if (!fd && errno == ENOENT) return WriteNewTiff(path, pix, quality);
    if (!fd) return StatusFromErrno(errno);
    // Two programs appending to one document would link over each other.
    if (flock(fd.get(), LOCK_EX) != 0) return ImagingStatus::kWriteFailed;
    struct stat info {};
    if (fstat(fd.get(), &info) != 0) return StatusFromErrno(errno);
    if (!S_ISREG(info.st_mode)) return ImagingStatus::kNotAnImage;
    if (info.st_size == 0) return WriteNewTiff(path, pix, quality);
    const size_t pointer_size = TiffPointerSize(fd.get());
    if (pointer_size == 0) return ImagingStatus::kNotAnImage;

    TiffComposition composition(fd.get(), static_cast<std::uint64_t>(info.st_size));
    TiffHandle tiff = composition.Open("a");
    if (!tiff)
        return composition.read_failed() ? ImagingStatus::kWriteFailed
                                         : ImagingStatus::kDamagedFile;
    if (!WriteTiffPage(tiff.get(), pix, quality) || !tiff.Close())
        return composition.read_failed() ? ImagingStatus::kWriteFailed
                                         : ImagingStatus::kDamagedFile;
    // The only change to existing bytes must be the one pointer to the new directory.
    const auto& patches = composition.patches();
    if (patches.size() != 1 || patches.front().bytes.size() != pointer_size)
        return ImagingStatus::kDamagedFile;
    return Commit(fd.get(), composition);
}

}  // namespace scantora
