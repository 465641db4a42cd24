#include "acquisition/scanner/tiff_chain.h"

#include <unistd.h>

#include <array>

#include "acquisition/scanner/durable_file.h"
#include "acquisition/scanner/tiff_handle.h"

namespace scantora {
namespace {

constexpr size_t kMagicBytes = 4;
constexpr std::array<std::uint8_t, kMagicBytes> kClassicLittle{'I', 'I', 42, 0};
constexpr std::array<std::uint8_t, kMagicBytes> kClassicBig{'M', 'M', 0, 42};
constexpr std::array<std::uint8_t, kMagicBytes> kBigTiffLittle{'I', 'I', 43, 0};
constexpr std::array<std::uint8_t, kMagicBytes> kBigTiffBig{'M', 'M', 0, 43};
constexpr size_t kClassicPointer = 4;
constexpr size_t kBigTiffPointer = 8;
// Header: byte order and version, then (BigTIFF) pointer size and padding, then the pointer.
constexpr std::uint64_t kClassicFirstPointer = 4;
constexpr std::uint64_t kBigTiffFirstPointer = 8;
// Directory: entry count, entries, next pointer.
constexpr std::uint64_t kClassicCountBytes = 2, kClassicEntryBytes = 12;
constexpr std::uint64_t kBigTiffCountBytes = 8, kBigTiffEntryBytes = 20;

std::uint64_t Decode(const std::uint8_t* bytes, size_t count, bool big_endian) {
    std::uint64_t value = 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t at = big_endian ? i : count - 1 - i;
        value = (value << 8) | bytes[at];
    }
    return value;
}

}  // namespace

size_t TiffPointerSize(int fd) {
    std::array<std::uint8_t, kMagicBytes> magic{};
    if (pread(fd, magic.data(), magic.size(), 0) != static_cast<ssize_t>(magic.size())) return 0;
    if (magic == kClassicLittle || magic == kClassicBig) return kClassicPointer;
    if (magic == kBigTiffLittle || magic == kBigTiffBig) return kBigTiffPointer;
    return 0;
}

ImagingStatus ReadDirectoryChain(int fd, DirectoryChain& chain) {
    chain = DirectoryChain();
    if (TiffPointerSize(fd) == 0) return ImagingStatus::kNotAnImage;
    const int own = dup(fd);
    if (own < 0) return ImagingStatus::kNoMemory;
    // libtiff reads the header from where the descriptor stands.
    lseek(own, 0, SEEK_SET);
    TiffHandle tiff = TiffHandle::OpenDescriptor(own, "rm");
    if (!tiff) return ImagingStatus::kDamagedFile;
    chain.big_endian = TIFFIsBigEndian(tiff.get()) != 0;
    chain.big_tiff = TIFFIsBigTIFF(tiff.get()) != 0;
    do {
        chain.offsets.push_back(TIFFCurrentDirOffset(tiff.get()));
    } while (TIFFReadDirectory(tiff.get()));
    if (tiff.HadError()) return ImagingStatus::kDamagedFile;
    return ImagingStatus::kOk;
}

bool PointerToDirectory(int fd, const DirectoryChain& chain, size_t index,
                        std::uint64_t& position) {
    if (index == 0) {
        position = chain.big_tiff ? kBigTiffFirstPointer : kClassicFirstPointer;
        return true;
    }
    if (index > chain.offsets.size()) return false;
    const std::uint64_t directory = chain.offsets[index - 1];
    const std::uint64_t count_bytes = chain.big_tiff ? kBigTiffCountBytes : kClassicCountBytes;
    std::array<std::uint8_t, kBigTiffCountBytes> raw{};
    if (pread(fd, raw.data(), count_bytes, static_cast<off_t>(directory)) !=
        static_cast<ssize_t>(count_bytes))
        return false;
    const std::uint64_t entries = Decode(raw.data(), count_bytes, chain.big_endian);
    position = directory + count_bytes +
               entries * (chain.big_tiff ? kBigTiffEntryBytes : kClassicEntryBytes);
    return true;
}

bool WriteDirectoryPointer(int fd, const DirectoryChain& chain, std::uint64_t position,
                           std::uint64_t value) {
    const size_t size = chain.big_tiff ? kBigTiffPointer : kClassicPointer;
    std::array<std::uint8_t, kBigTiffPointer> raw{};
    for (size_t i = 0; i < size; ++i) {
        const size_t at = chain.big_endian ? size - 1 - i : i;
        raw[at] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    return WriteAt(fd, std::span<const std::uint8_t>(raw.data(), size), position);
}

}  // namespace scantora
