#include "transfer/transfer_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "acquisition/naming_text.h"
#include "config/numeric_text.h"
#include "transfer/composition.h"

namespace scantora {

namespace {

constexpr std::string_view kLogFailure =
    "ATTENZIONE!!! ERROR %d open file log<%s>.\nComunicare all'amministratore l'ERRORE "
    "101010-%d. File Trasmessi e non registrati";

}  // namespace

std::string TransferLogText(const JobRecord& job, const LevelValueTable& values) {
    const long levels = std::clamp<long>(LeadingNumber(job.numlivellilog), 0, kMaxLevels);
    std::vector<std::string> rules;
    for (long i = 0; i < levels; ++i)
        rules.push_back(job.levels[i].composnome);
    std::string text;
    if (LeadingNumber(job.logdirbase) == 1) {
        text = job.invioa;
        if (text.empty() || !IsSeparator(text.back())) text += '/';
    }
    text += TextOf(ComposePath("", rules, values, job.nomefronte));
    return ToNativeSeparators(text);
}

std::string TransferLogLine(int number, std::string_view text) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%010d", std::max(number, 0));
    return digits + std::string(text) + "\r\n";
}

int AppendTransferLog(const std::string& file, std::string_view line) {
    const std::string path = ToNativeSeparators(file);
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    int error = 0;
    // One write per line: a line is never interleaved with another writer's.
    const ssize_t written = ::write(fd, line.data(), line.size());
    if (written < 0) {
        error = errno;
    } else if (static_cast<std::size_t>(written) != line.size()) {
        error = ENOSPC;
    } else if (::fsync(fd) != 0 && errno != EINVAL) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) error = errno;
    return error;
}

std::string TransferLogFailure(int error, std::string_view file) {
    char text[1024];
    const std::string name(file.substr(0, 600));
    std::snprintf(text, sizeof text, std::string(kLogFailure).c_str(), error, name.c_str(), error);
    return text;
}

}  // namespace scantora
