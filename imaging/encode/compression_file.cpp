// The writer's four file exports over the library's file access layer.
#include "imaging/encode/compression_writer.h"
#include "imaging/io/file_access.h"

namespace pixdoc::encode {

int32_t OpenTargetFile(const char* path, int64_t offset) {
    const int32_t handle = files::FileCreate(path);
    if (handle == files::kInvalidHandle) return handle;
    if (files::FileSeek(handle, offset, files::SeekOrigin::kStart) != offset) {
        files::FileClose(handle);
        return files::kInvalidHandle;
    }
    return handle;
}

}  // namespace pixdoc::encode

PIXDOC_API int32_t OpenCompressionFile(const char* path, int32_t offset) {
    return pixdoc::encode::OpenTargetFile(path, offset);
}

PIXDOC_API int32_t WriteCompressionFile(int32_t handle, const void* buffer, int32_t count) {
    return pixdoc::files::FileWrite(handle, buffer, count);
}

PIXDOC_API int32_t SeekCompressionFile(int32_t handle, int32_t offset) {
    return int32_t(pixdoc::files::FileSeek(handle, offset, pixdoc::files::SeekOrigin::kStart));
}

PIXDOC_API int32_t CloseCompressionFile(int32_t handle) {
    if (handle == pixdoc::files::kInvalidHandle) return 0;
    return pixdoc::files::FileClose(handle);
}
