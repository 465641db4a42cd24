// Page files: information, page count, loading and deleting a page.
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "acquisition/scanner/durable_file.h"
#include "acquisition/scanner/page_pix.h"
#include "acquisition/scanner/tiff_chain.h"
#include "acquisition/scanner/tiff_handle.h"

namespace scantora {
namespace {

enum class FileKind { kTiff, kSingleImage, kOther };

constexpr size_t kSniffBytes = 12;

FileKind KindOf(int fd) {
    if (TiffPointerSize(fd) != 0) return FileKind::kTiff;
    std::array<l_uint8, kSniffBytes> head{};
    if (pread(fd, head.data(), head.size(), 0) != static_cast<ssize_t>(head.size()))
        return FileKind::kOther;
    l_int32 format = IFF_UNKNOWN;
    if (findFileFormatBuffer(head.data(), &format) != 0) return FileKind::kOther;
    switch (format) {
        case IFF_JFIF_JPEG:
        case IFF_PNG:
        case IFF_PNM:
            return FileKind::kSingleImage;
        default:
            return FileKind::kOther;
    }
}

ImagingStatus OpenKind(const std::filesystem::path& path, FileKind& kind) {
    FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return errno == ENOENT ? ImagingStatus::kFileNotFound : ImagingStatus::kNotAnImage;
    kind = KindOf(fd.get());
    return kind == FileKind::kOther ? ImagingStatus::kNotAnImage : ImagingStatus::kOk;
}

int DepthOfSamples(int bits, int samples, bool palette) {
    if (palette || samples >= 3) return 24;
    return bits * samples == 1 ? 1 : 8;
}

ImagingStatus TiffInfo(const std::filesystem::path& path, int page, PageFileInfo& info) {
    TiffHandle tiff = TiffHandle::OpenFile(path, "rm");
    if (!tiff) return ImagingStatus::kDamagedFile;
    info.pages = TIFFNumberOfDirectories(tiff.get());
    if (page < 1 || page > info.pages) return ImagingStatus::kNoSuchPage;
    if (!TIFFSetDirectory(tiff.get(), static_cast<tdir_t>(page - 1)))
        return ImagingStatus::kDamagedFile;
    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISWHITE;
    std::uint16_t unit = RESUNIT_INCH;
    float x_resolution = 0;
    TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tiff.get(), TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_RESOLUTIONUNIT, &unit);
    TIFFGetField(tiff.get(), TIFFTAG_XRESOLUTION, &x_resolution);
    constexpr float kCentimetresPerInch = 2.54f;
    if (unit == RESUNIT_CENTIMETER) x_resolution *= kCentimetresPerInch;
    info.width = static_cast<int>(std::min<std::uint32_t>(width, INT32_MAX));
    info.height = static_cast<int>(std::min<std::uint32_t>(height, INT32_MAX));
    info.bits_per_pixel = DepthOfSamples(bits, samples, photometric == PHOTOMETRIC_PALETTE);
    info.x_resolution =
        x_resolution > 0 && x_resolution < INT32_MAX ? static_cast<int>(x_resolution + 0.5f) : 0;
    return ImagingStatus::kOk;
}

PixPtr ReadPix(const std::filesystem::path& path, FileKind kind, int page) {
    if (kind == FileKind::kTiff) return PixPtr(pixReadTiff(path.c_str(), page - 1));
    return PixPtr(pixRead(path.c_str()));
}

}  // namespace

ImagingStatus ReadPageFileInfo(const std::filesystem::path& path, int page, PageFileInfo& info) {
    info = PageFileInfo();
    FileKind kind;
    if (const ImagingStatus status = OpenKind(path, kind); status != ImagingStatus::kOk)
        return status;
    if (kind == FileKind::kTiff) return TiffInfo(path, page, info);
    if (page != 1) return ImagingStatus::kNoSuchPage;
    Page loaded;
    if (const ImagingStatus status = LoadPage(path, page, 0, loaded); status != ImagingStatus::kOk)
        return status;
    info.pages = 1;
    info.bits_per_pixel = loaded.BitsPerPixel();
    info.width = loaded.Width();
    info.height = loaded.Height();
    info.x_resolution = loaded.XResolution();
    return ImagingStatus::kOk;
}

ImagingStatus CountPages(const std::filesystem::path& path, int& pages) {
    pages = 0;
    FileKind kind;
    if (const ImagingStatus status = OpenKind(path, kind); status != ImagingStatus::kOk)
        return status;
    if (kind != FileKind::kTiff) {
        pages = 1;
        return ImagingStatus::kOk;
    }
    TiffHandle tiff = TiffHandle::OpenFile(path, "rm");
    if (!tiff) return ImagingStatus::kDamagedFile;
    pages = TIFFNumberOfDirectories(tiff.get());
    return ImagingStatus::kOk;
}

ImagingStatus LoadPage(const std::filesystem::path& path, int page, int bits_per_pixel, Page& out) {
    FileKind kind;
    if (const ImagingStatus status = OpenKind(path, kind); status != ImagingStatus::kOk)
        return status;
    int pages = 1;
    if (kind == FileKind::kTiff) {
        if (const ImagingStatus status = CountPages(path, pages); status != ImagingStatus::kOk)
            return status;
    }
    if (page < 1 || page > pages) return ImagingStatus::kNoSuchPage;
    PixPtr pix = NormalisePix(ReadPix(path, kind, page));
    if (!pix) return ImagingStatus::kDamagedFile;
    if (bits_per_pixel > 0) pix = PixAtDepth(pix.get(), bits_per_pixel);
    if (!pix) return ImagingStatus::kNoMemory;
    out = PageAccess::Adopt(std::move(pix));
    return ImagingStatus::kOk;
}

ImagingStatus DeletePage(const std::filesystem::path& path, int page) {
    FileKind kind;
    if (const ImagingStatus status = OpenKind(path, kind); status != ImagingStatus::kOk)
        return status;
    if (kind != FileKind::kTiff) return ImagingStatus::kNotAnImage;
    // Every edit happens on the copy, which is renamed over the file only when it checks out.
    return RewriteFile(path, [page](int copy) {
        DirectoryChain chain;
        if (const ImagingStatus status = ReadDirectoryChain(copy, chain);
            status != ImagingStatus::kOk)
            return status;
        const size_t pages = chain.offsets.size();
        if (page < 1 || static_cast<size_t>(page) > pages) return ImagingStatus::kNoSuchPage;
        if (pages == 1) return ImagingStatus::kBadArgument;
        const size_t index = static_cast<size_t>(page) - 1;
        const std::uint64_t following = index + 1 < pages ? chain.offsets[index + 1] : 0;
        std::uint64_t position = 0;
        if (!PointerToDirectory(copy, chain, index, position) ||
            !WriteDirectoryPointer(copy, chain, position, following))
            return ImagingStatus::kWriteFailed;
        DirectoryChain relinked;
        if (ReadDirectoryChain(copy, relinked) != ImagingStatus::kOk ||
            relinked.offsets.size() != pages - 1)
            return ImagingStatus::kDamagedFile;
        return ImagingStatus::kOk;
    });
}

}  // namespace scantora
