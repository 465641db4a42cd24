#include "imaging/files/probe_source.h"

#include "imaging/io/file_access.h"

namespace pixdoc::files {

int32_t ReadAt(const ProbeSource& source, int64_t offset, uint8_t* buffer, int32_t count) {
    if (offset < 0 || FileSeek(source.handle, offset, SeekOrigin::kStart) != offset) return 0;
    const int32_t n = FileRead(source.handle, buffer, count);
    return n < 0 ? 0 : n;
}

bool ReadWhole(const ProbeSource& source, int64_t offset, uint8_t* buffer, int32_t count) {
    return ReadAt(source, offset, buffer, count) == count;
}

}  // namespace pixdoc::files
