// The global settings file "Scantora.ini" of the setup directory (and the older registry files
// "Pagivo2.ini" and "Pagivo.ini"): plain key=value lines, keys matched as prefixes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace scantora {

inline constexpr std::string_view kGlobalSettingsName = "Scantora.ini";
inline constexpr std::string_view kDefaultLanguageFile = "Scantora.lang";

// One job of the registry: a "NOME=" line and the "FILEINI=" line after it.
struct RegistryEntry {
    std::string name;      // text after "NOME="
    std::string job_file;  // the next line from its ninth character on (after "FILEINI=")
};

struct GlobalSettings {
    bool show_messages = false;                       // SHOWMESSAGGI= greater than 0
    std::string language_file{kDefaultLanguageFile};  // LINGUAGGIO=
    std::vector<RegistryEntry> jobs;                  // NOME=/FILEINI= pairs in order
};

// Reads the settings from `in`. A "NOME=" line takes the line after it as its FILEINI line
// whatever it holds, as the registry is read in pairs.
GlobalSettings ParseGlobalSettings(std::istream& in);

// Reads `path`; returns false (and leaves `settings` at its defaults) when it cannot be opened.
bool ReadGlobalSettings(const std::filesystem::path& path, GlobalSettings& settings);

// Rewrites the global settings file with LINGUAGGIO set to `language_file`: the current file
// is first copied to "<name>.old", every other line is kept, the LINGUAGGIO line is replaced
// or appended, and the new file replaces the old one atomically. Returns false on failure,
// leaving the file as it was.
bool SaveLanguageChoice(const std::filesystem::path& settings_path, std::string_view language_file);

}  // namespace scantora
