// What every format probe works on: the open handle of the name being probed.
#pragma once

#include <cstdint>

#include "imaging/decode/tiff_directory_reader.h"
#include "pixdoc32.h"

namespace pixdoc::files {

struct ProbeSource {
    int32_t handle = -1;
    bool memory = false;    // a memory image ("MD:"), not a disk file
    int64_t file_size = 0;  // from a seek to the end (0 for unbounded memory images)
};

// Reads count bytes at offset into buffer; returns how many arrived (0 when the seek fails).
int32_t ReadAt(const ProbeSource& source, int64_t offset, uint8_t* buffer, int32_t count);

// A probe's source as the TIFF directory reader reads it.
class ProbeBytes final : public TiffBytes {
public:
    explicit ProbeBytes(const ProbeSource& source) : source_(source) {}
    int32_t ReadAt(int64_t offset, uint8_t* out, int32_t count) const override {
        return files::ReadAt(source_, offset, out, count);
    }

private:
    const ProbeSource& source_;
};
// True when exactly count bytes could be read at offset.
bool ReadWhole(const ProbeSource& source, int64_t offset, uint8_t* buffer, int32_t count);

}  // namespace pixdoc::files
