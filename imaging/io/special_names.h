// The name prefixes that the file access layer takes as something other than a disk path:
// memory images ("MD:", "ML:") and a TIFF directory at a given offset ("TH:"). Header-only, so
// that programs which must keep such names away from the library (the command-line tools) test
// them against the same list.
#pragma once

#include <cstring>
#include <string_view>

namespace pixdoc::files {

inline constexpr std::string_view kMemoryImagePrefix = "MD:";
inline constexpr std::string_view kMemoryRawPrefix = "ML:";
inline constexpr std::string_view kTiffDirectoryPrefix = "TH:";
inline constexpr std::string_view kSpecialNamePrefixes[] = {kMemoryImagePrefix, kMemoryRawPrefix,
                                                            kTiffDirectoryPrefix};

inline bool HasNamePrefix(const char* name, std::string_view prefix) {
    return name && std::strncmp(name, prefix.data(), prefix.size()) == 0;
}

// True when the library would not open `name` as a disk path.
inline bool IsSpecialName(const char* name) {
    for (std::string_view prefix : kSpecialNamePrefixes)
        if (HasNamePrefix(name, prefix)) return true;
    return false;
}

}  // namespace pixdoc::files
