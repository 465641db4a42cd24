#include "acquisition/page_path.h"

#include <filesystem>
#include <system_error>

#include "acquisition/name_composition.h"
#include "acquisition/naming_text.h"

namespace scantora {

namespace {

// Length of the root part of an absolute path ("/" or "C:/"), which is never created.
std::size_t RootLength(std::string_view path) {
    if (!path.empty() && IsSeparator(path[0])) return 1;
    if (path.size() >= 3 && path[1] == ':' && IsSeparator(path[2])) return 3;
    return 0;
}

}  // namespace

std::optional<std::string> ComposePagePath(const PagePathRules& rules,
                                           std::span<const std::string> codes, bool back_side) {
    ComposedName path = ComposedOf(rules.root);
    if (path.size() > kMaxPathText) return std::nullopt;
    const NameSources sources{codes, back_side ? rules.back_name : rules.front_name};
    const std::size_t levels = std::min(rules.patterns.size(), codes.size());
    for (std::size_t level = 0; level < levels; ++level) {
        if (codes[level].empty()) continue;
        // A name cut short would not be the one the transfer composes from the same codes.
        if (!AppendComposition(path, rules.patterns[level], sources, level + 1))
            return std::nullopt;
    }
    const std::string text = TextOf(path);
    if (!IsAbsolutePath(text) || path.size() > kMaxPathText) return std::nullopt;
    return ToNativeSeparators(text);
}

bool CreatePathDirectories(std::string_view path) {
    bool all_made = true;
    for (std::size_t end = RootLength(path); end < path.size(); ++end) {
        if (!IsSeparator(path[end])) continue;
        const std::filesystem::path directory(ToNativeSeparators(path.substr(0, end)));
        std::error_code error;
        if (std::filesystem::is_directory(directory, error)) continue;
        if (!std::filesystem::create_directory(directory, error)) all_made = false;
    }
    return all_made;
}

PagePathParts SplitPagePath(std::string_view path) {
    std::size_t name_start = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsSeparator(path[i])) name_start = i + 1;
    }
    PagePathParts parts;
    parts.directory = std::string(path.substr(0, name_start));
    const std::string_view name = path.substr(name_start);
    const auto dot = name.rfind('.');
    parts.base_name = std::string(name.substr(0, dot));
    if (dot != std::string_view::npos) parts.extension = std::string(name.substr(dot + 1));
    return parts;
}

}  // namespace scantora
