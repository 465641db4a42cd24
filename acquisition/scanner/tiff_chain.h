// The chain of directories of a TIFF file: where each page's directory starts and where the
// pointer to it lies, for the edits that relink pages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "acquisition/scanner/imaging_control.h"

namespace scantora {

struct DirectoryChain {
    bool big_endian = false;
    bool big_tiff = false;
    std::vector<std::uint64_t> offsets;  // of each page's directory, in page order
};

// The size of a directory pointer in the open file (4, or 8 for BigTIFF), 0 when it is no TIFF.
size_t TiffPointerSize(int fd);

// Walks the directories of the open file with libtiff; kDamagedFile when a directory cannot be
// read, kNotAnImage when it is no TIFF.
ImagingStatus ReadDirectoryChain(int fd, DirectoryChain& chain);

// The file position of the pointer to directory `index`: in the header for 0, else the next
// pointer of directory `index - 1`.
bool PointerToDirectory(int fd, const DirectoryChain& chain, size_t index, std::uint64_t& position);

// Writes `value` as a directory pointer at `position`, in the file's byte order.
bool WriteDirectoryPointer(int fd, const DirectoryChain& chain, std::uint64_t position,
                           std::uint64_t value);

}  // namespace scantora
