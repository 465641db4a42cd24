#include "app/logon_name.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace scantora {
namespace {

constexpr std::string_view kBufferTooSmall = "The data area passed to a system call is too small.";
constexpr std::string_view kNoSuchUser = "The user name could not be found.";

}  // namespace

LogonName LogonNameFrom(std::string_view raw) {
    if (raw.empty()) return {std::nullopt, std::string(kNoSuchUser)};
    if (raw.size() + 1 > kLogonNameBuffer) return {std::nullopt, std::string(kBufferTooSmall)};
    std::string name(raw);
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return {std::move(name), {}};
}

LogonName CurrentLogonName() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    const int error = ::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found);
    if (error != 0) return {std::nullopt, std::strerror(error)};
    if (found == nullptr || found->pw_name == nullptr)
        return {std::nullopt, std::string(kNoSuchUser)};
    return LogonNameFrom(found->pw_name);
}

}  // namespace scantora
