#include "app/job_registry.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "config/atomic_file.h"

namespace scantora {
namespace {

constexpr std::string_view kRegistryFallbacks[] = {"Pagivo2.ini", "Pagivo.ini"};
constexpr std::string_view kNewJobFormat = "P_G32%03d";

std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    return line;
}

}  // namespace

JobRegistry OpenJobRegistry(const std::filesystem::path& setup_dir) {
    JobRegistry registry;
    GlobalSettings settings;
    if (ReadGlobalSettings(setup_dir / kGlobalSettingsName, settings)) {
        registry.file = setup_dir / kGlobalSettingsName;
    } else {
        for (const auto name : kRegistryFallbacks) {
            if (!ReadGlobalSettings(setup_dir / name, settings)) continue;
            registry.file = setup_dir / name;
            break;
        }
    }
    if (registry.file.empty()) registry.file = setup_dir / kGlobalSettingsName;
    registry.jobs = std::move(settings.jobs);
    return registry;
}

std::filesystem::path NewJobFilePath(const std::filesystem::path& setup_dir, int number) {
    char name[32];
    std::snprintf(name, sizeof name, kNewJobFormat.data(), number);
    return setup_dir / name;
}

bool AppendJob(const std::filesystem::path& registry_file, std::string_view name,
               std::string_view job_file) {
    std::string content;
    std::ifstream in(registry_file, std::ios::binary);
    if (in.is_open()) {
        std::ostringstream old_text;
        old_text << in.rdbuf();
        content = old_text.str();
    } else if (std::filesystem::exists(registry_file)) {
        return false;
    }
    // A last line without its line end must not run into the new entry.
    if (!content.empty() && content.back() != '\n') content.push_back('\n');
    content.append("NOME=").append(OneLine(name)).append("\n");
    content.append("FILEINI=").append(OneLine(job_file)).append("\n");
    return WriteFileAtomically(registry_file, content) == RewriteResult::kOk;
}

}  // namespace scantora
