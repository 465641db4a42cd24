#include "app/program_dirs.h"

#include "config/path_text.h"

namespace scantora {

std::filesystem::path ProgramDirectory(std::string_view argv0) {
    const std::string directory = DirectoryPart(argv0);
    if (!directory.empty()) return NativePath(directory);
    // "/prog" has the root as its directory.
    if (!argv0.empty() && (argv0.front() == '/' || argv0.front() == '\\')) return "/";
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && executable.has_parent_path()) return executable.parent_path();
    return std::filesystem::current_path(error);
}

std::filesystem::path SetupDirectory(const std::filesystem::path& program_dir) {
    return program_dir / "setup";
}

}  // namespace scantora
