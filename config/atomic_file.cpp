#include "config/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace scantora {
namespace {

// Writes all of `content` to `path` (created or truncated) and flushes it to disk.
bool WriteAndSync(const std::filesystem::path& path, std::string_view content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    const char* data = content.data();
    std::size_t left = content.size();
    while (ok && left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            ok = false;
            break;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    // A full disk may show itself only when the data is flushed.
    if (ok && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) ok = false;
    if (::close(fd) != 0) ok = false;
    return ok;
}

void SyncDirectory(const std::filesystem::path& directory) {
    const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

const char* NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

}  // namespace

std::filesystem::path TempDirectory() {
    if (const char* temp = NonEmptyEnv("TEMP")) return temp;
    if (const char* tmpdir = NonEmptyEnv("TMPDIR")) return tmpdir;
    return "/tmp";
}

std::filesystem::path JobRewriteTempPath() {
    return TempDirectory() / "tmpLIV.all";
}

RewriteResult WriteFileAtomically(const std::filesystem::path& target, std::string_view content) {
    std::filesystem::path sibling = target;
    sibling += ".new-" + std::to_string(::getpid());
    if (!WriteAndSync(sibling, content)) {
        std::error_code ignored;
        std::filesystem::remove(sibling, ignored);
        return RewriteResult::kReplaceFailed;
    }
    std::error_code error;
    std::filesystem::rename(sibling, target, error);
    if (error) {
        std::filesystem::remove(sibling, error);
        return RewriteResult::kReplaceFailed;
    }
    SyncDirectory(target.parent_path());
    return RewriteResult::kOk;
}

RewriteResult RewriteThroughTemp(const std::filesystem::path& target, std::string_view content,
                                 const std::filesystem::path& temp) {
    std::error_code ignored;
    if (!WriteAndSync(temp, content)) {
        std::filesystem::remove(temp, ignored);
        return RewriteResult::kTempFailed;
    }
    const RewriteResult result = WriteFileAtomically(target, content);
    std::filesystem::remove(temp, ignored);
    return result;
}

}  // namespace scantora
