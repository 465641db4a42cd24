// Small text helpers shared by scan-time naming and the transfer-side composition.
#pragma once

#include <string>
#include <string_view>

namespace scantora {

// The most characters kept in a path text: paths live in 300-character buffers.
inline constexpr std::size_t kMaxPathText = 299;

// The most characters of a level's value (a code): level values live in 199-character slots.
inline constexpr std::size_t kMaxLevelValue = 199;

// The width of a level from its NMAXCAR value: its leading number, within 0..kMaxLevelValue.
std::size_t LevelWidth(std::string_view nmaxcar);

// A count or position written in a token: its leading number, negative values taken as 0.
long CountOf(std::string_view text);

// True for both directory separators accepted in patterns and roots.
constexpr bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// `text` with every "\" and "/" replaced by the native directory separator.
std::string ToNativeSeparators(std::string_view text);

// True when `path` starts with a separator, or with a drive letter, ":" and a separator.
bool IsAbsolutePath(std::string_view path);

// ASCII upper case of one character and of a text.
constexpr char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}
std::string UpperAscii(std::string_view text);

}  // namespace scantora
