// The operator's logon name, as the program keeps it: upper case, in a 15-byte buffer.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scantora {

// Size of the buffer the name is fetched into, its terminating NUL included.
inline constexpr std::size_t kLogonNameBuffer = 15;

struct LogonName {
    std::optional<std::string> name;  // upper case; empty optional on failure
    std::string error;                // the system's text for the failure
};

// `raw` as kept: ASCII letters upper-cased; fails, like the fetch into the fixed buffer,
// when the name with its NUL does not fit, or when there is no name.
LogonName LogonNameFrom(std::string_view raw);

// The name of the user running the process, from the password database.
LogonName CurrentLogonName();

}  // namespace scantora
