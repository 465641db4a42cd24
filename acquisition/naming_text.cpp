#include "acquisition/naming_text.h"

#include <algorithm>

#include "config/numeric_text.h"

namespace scantora {

namespace {
constexpr char kNativeSeparator = '/';

constexpr bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
}  // namespace

long CountOf(std::string_view text) {
    return std::max(0L, LeadingNumber(text));
}

std::size_t LevelWidth(std::string_view nmaxcar) {
    return static_cast<std::size_t>(
        std::clamp<long>(LeadingNumber(nmaxcar), 0, static_cast<long>(kMaxLevelValue)));
}

std::string ToNativeSeparators(std::string_view text) {
    std::string native(text);
    for (char& c : native) {
        if (IsSeparator(c)) c = kNativeSeparator;
    }
    return native;
}

bool IsAbsolutePath(std::string_view path) {
    if (!path.empty() && IsSeparator(path[0])) return true;
    return path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]);
}

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = UpperAscii(c);
    return upper;
}

}  // namespace scantora
