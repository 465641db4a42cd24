// The job registry: the NOME=/FILEINI= pairs of "Scantora.ini", or of "Pagivo2.ini" and then
// "Pagivo.ini" when it cannot be opened.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/global_settings.h"

namespace scantora {

struct JobRegistry {
    std::filesystem::path file;  // the registry file opened (empty when none was)
    std::vector<RegistryEntry> jobs;
};

// Opens the first of "Scantora.ini", "Pagivo2.ini", "Pagivo.ini" in `setup_dir` that can be
// read; none gives an empty registry whose file is "Scantora.ini".
JobRegistry OpenJobRegistry(const std::filesystem::path& setup_dir);

// "<setup_dir>/P_G32%03d" with `number`.
std::filesystem::path NewJobFilePath(const std::filesystem::path& setup_dir, int number);

// Adds "NOME=<name>" and "FILEINI=<job_file>" at the end of `registry_file` (created when
// missing), rewriting it atomically. Returns false, leaving it unchanged, on failure.
bool AppendJob(const std::filesystem::path& registry_file, std::string_view name,
               std::string_view job_file);

}  // namespace scantora
