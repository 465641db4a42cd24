#include "transfer/work_area_walk.h"

#include <unistd.h>

#include <filesystem>

#include "acquisition/naming_text.h"

namespace scantora {

namespace fs = std::filesystem;

std::vector<WalkEntry> ListDirectory(const std::string& directory) {
    std::vector<WalkEntry> entries;
    std::error_code error;
    fs::directory_iterator it(directory, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        std::error_code status_error;
        const bool directory_entry =
            it->is_directory(status_error) && !it->is_symlink(status_error);
        const std::uintmax_t size = directory_entry ? 0 : it->file_size(status_error);
        entries.push_back({std::move(name), directory_entry, status_error ? 0 : size});
    }
    return entries;
}

std::string SearchedDirectory(std::string_view directory) {
    std::string searched = ToNativeSeparators(directory);
    // An empty root stays empty: it must never become the file system's root.
    if (!searched.empty() && !IsSeparator(searched.back())) searched += '/';
    return searched;
}

bool RemoveIfEmpty(const std::string& directory) {
    // rmdir refuses a directory that holds anything, hidden entries included.
    return ::rmdir(directory.c_str()) == 0;
}

}  // namespace scantora
