#include "acquisition/scanner/tiff_handle.h"

#include <cstdarg>
#include <cstdio>

#include <unistd.h>

namespace scantora {
namespace {

constexpr size_t kMessageLength = 256;

}  // namespace

TiffHandle::TiffHandle() : messages_(std::make_unique<Messages>()) {}

int TiffHandle::OnError(TIFF*, void* user, const char* module, const char* format, va_list args) {
    auto* messages = static_cast<Messages*>(user);
    if (messages->first_error.empty()) {
        char text[kMessageLength];
        std::vsnprintf(text, sizeof text, format, args);
        messages->first_error = std::string(module ? module : "libtiff") + ": " + text;
    }
    return 1;
}

std::unique_ptr<TIFFOpenOptions, TiffHandle::OptionsFree> TiffHandle::Options() {
    std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), &TiffHandle::OnError, messages_.get());
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), &TiffHandle::OnWarning, nullptr);
    return options;
}

TiffHandle TiffHandle::OpenFile(const std::filesystem::path& path, const char* mode) {
    TiffHandle handle;
    auto options = handle.Options();
    handle.tiff_.reset(TIFFOpenExt(path.c_str(), mode, options.get()));
    return handle;
}

TiffHandle TiffHandle::OpenDescriptor(int fd, const char* mode) {
    TiffHandle handle;
    auto options = handle.Options();
    handle.tiff_.reset(TIFFFdOpenExt(fd, "tiff", mode, options.get()));
    if (!handle.tiff_) close(fd);
    return handle;
}

TiffHandle TiffHandle::OpenClient(const char* name, const char* mode,
                                  const TiffClientProcs& procs) {
    TiffHandle handle;
    auto options = handle.Options();
    handle.tiff_.reset(TIFFClientOpenExt(name, mode, procs.handle, procs.read, procs.write,
                                         procs.seek, procs.close, procs.size, procs.map,
                                         procs.unmap, options.get()));
    return handle;
}

bool TiffHandle::Close() {
    tiff_.reset();
    return !messages_ || messages_->first_error.empty();
}

}  // namespace scantora
