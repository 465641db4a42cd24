#include "config/path_text.h"

#include <algorithm>

namespace scantora {
namespace {

std::size_t LastSeparator(std::string_view path) {
    return path.find_last_of("\\/");
}

}  // namespace

std::string FileNamePart(std::string_view path) {
    const auto at = LastSeparator(path);
    return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string DirectoryPart(std::string_view path) {
    const auto at = LastSeparator(path);
    return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at));
}

std::filesystem::path NativePath(std::string_view path) {
    std::string native(path);
    std::replace(native.begin(), native.end(), '\\', '/');
    return std::filesystem::path(native);
}

}  // namespace scantora
