#include "app/global_settings.h"

#include <fstream>
#include <sstream>

#include "config/atomic_file.h"
#include "config/line_reader.h"
#include "config/numeric_text.h"
#include "config/text_encoding.h"

namespace scantora {
namespace {

constexpr std::string_view kShowMessagesKey = "SHOWMESSAGGI=";
constexpr std::string_view kLanguageKey = "LINGUAGGIO=";
constexpr std::string_view kJobNameKey = "NOME=";
constexpr std::size_t kJobFileTextStart = 8;  // the FILEINI line's text starts at character 9

bool StartsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

std::string Rest(std::string_view line, std::size_t from) {
    return line.size() > from ? ToUtf8(line.substr(from)) : std::string();
}

}  // namespace

GlobalSettings ParseGlobalSettings(std::istream& in) {
    GlobalSettings settings;
    std::string line;
    while (ReadTextLine(in, line)) {
        if (StartsWith(line, kShowMessagesKey)) {
            settings.show_messages = LeadingNumber(Rest(line, kShowMessagesKey.size())) > 0;
        } else if (StartsWith(line, kLanguageKey)) {
            settings.language_file = Rest(line, kLanguageKey.size());
        } else if (StartsWith(line, kJobNameKey)) {
            RegistryEntry entry{Rest(line, kJobNameKey.size()), {}};
            if (ReadTextLine(in, line)) entry.job_file = Rest(line, kJobFileTextStart);
            settings.jobs.push_back(std::move(entry));
        }
    }
    return settings;
}

bool ReadGlobalSettings(const std::filesystem::path& path, GlobalSettings& settings) {
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open() || std::filesystem::is_directory(path)) return false;
    settings = ParseGlobalSettings(in);
    return true;
}

bool SaveLanguageChoice(const std::filesystem::path& settings_path,
                        std::string_view language_file) {
    const std::string new_line = std::string(kLanguageKey) + std::string(language_file);
    std::string content;
    std::ifstream in(settings_path, std::ios::binary);
    if (in.is_open()) {
        std::ostringstream old_text;
        old_text << in.rdbuf();
        std::filesystem::path backup = settings_path;
        backup += ".old";
        if (WriteFileAtomically(backup, old_text.str()) != RewriteResult::kOk) return false;
        std::istringstream lines(old_text.str());
        std::string line;
        bool replaced = false;
        while (ReadTextLine(lines, line)) {
            if (StartsWith(line, kLanguageKey)) {
                line = new_line;
                replaced = true;
            }
            content.append(line).push_back('\n');
        }
        if (!replaced) content.append(new_line).push_back('\n');
    } else {
        content = new_line + "\n";
    }
    return WriteFileAtomically(settings_path, content) == RewriteResult::kOk;
}

}  // namespace scantora
