// libtiff handles whose errors and warnings are kept with the handle instead of printed.
#pragma once

#include <tiffio.h>

#include <filesystem>
#include <memory>
#include <string>

namespace scantora {

struct TiffClientProcs {
    thandle_t handle;
    TIFFReadWriteProc read;
    TIFFReadWriteProc write;
    TIFFSeekProc seek;
    TIFFCloseProc close;
    TIFFSizeProc size;
    TIFFMapFileProc map;
    TIFFUnmapFileProc unmap;
};

class TiffHandle {
public:
    static TiffHandle OpenFile(const std::filesystem::path& path, const char* mode);
    // Takes ownership of `fd`.
    static TiffHandle OpenDescriptor(int fd, const char* mode);
    static TiffHandle OpenClient(const char* name, const char* mode, const TiffClientProcs& procs);

    TiffHandle(TiffHandle&&) noexcept = default;
    TiffHandle& operator=(TiffHandle&&) noexcept = default;
    ~TiffHandle() { Close(); }

    TIFF* get() const { return tiff_.get(); }
    explicit operator bool() const { return tiff_ != nullptr; }
    // Flushes and closes; false when libtiff reported an error at any time.
    bool Close();
    bool HadError() const { return !messages_->first_error.empty(); }
    const std::string& FirstError() const { return messages_->first_error; }

private:
    struct Messages {
        std::string first_error;
    };
    struct TiffClose {
        void operator()(TIFF* tiff) const { TIFFClose(tiff); }
    };
    TiffHandle();
    static int OnError(TIFF*, void* user, const char* module, const char* format, va_list args);
    static int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }
    struct OptionsFree {
        void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
    };
    std::unique_ptr<TIFFOpenOptions, OptionsFree> Options();

    std::unique_ptr<Messages> messages_;
    std::unique_ptr<TIFF, TiffClose> tiff_;
};

}  // namespace scantora
