#include "app/command_line.h"

#include <fstream>

#include "config/line_reader.h"
#include "config/numeric_text.h"
#include "config/text_encoding.h"

namespace scantora {
namespace {

constexpr std::string_view kAppKey = "APP=";
constexpr std::string_view kLevelsKey = "LEVELS=";
constexpr std::string_view kBarcodeKey = "BC=";
constexpr std::string_view kBarcodeExportKey = "BC_EXPORT=";
constexpr std::string_view kBarcodeTypeKey = "BC_TYPE=";
constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kShowMessagesKey = "SHOWMESSAGGI=";
constexpr std::string_view kLanguageKey = "LINGUAGGIO=";
constexpr std::string_view kJobNameKey = "NOME=";
constexpr std::size_t kJobFileTextStart = 8;  // the FILEINI line's text starts at character 9

bool StartsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::optional<std::string> NumberItem(std::string_view options, std::string_view key) {
    auto value = ItemValue(options, key);
    if (!value || value->empty()) return std::nullopt;
    return std::to_string(LeadingNumber(*value));
}

// The job with exactly `name` in the registry lines of `settings_file`, with the flags seen
// before it.
bool FindJob(const std::filesystem::path& settings_file, const std::string& name,
             CommandLineResult& result) {
    std::ifstream in(settings_file, std::ios::binary);
    if (!in.is_open()) return false;
    std::string line;
    while (ReadTextLine(in, line)) {
        if (StartsWith(line, kShowMessagesKey)) {
            result.show_messages = LeadingNumber(line.substr(kShowMessagesKey.size())) > 0;
        } else if (StartsWith(line, kLanguageKey)) {
            result.language_file = ToUtf8(line.substr(kLanguageKey.size()));
        } else if (StartsWith(line, kJobNameKey) &&
                   ToUtf8(line.substr(kJobNameKey.size())) == name) {
            if (ReadTextLine(in, line) && line.size() > kJobFileTextStart)
                result.job_file_path = ToUtf8(line.substr(kJobFileTextStart));
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<JobRequest> ParseJobRequest(std::string_view command_line) {
    const auto at = command_line.find(kAppKey);
    if (at == std::string_view::npos) return std::nullopt;
    const std::string_view from_app = command_line.substr(at);
    const std::string_view after = from_app.substr(kAppKey.size());
    const std::string_view name = after.substr(0, after.find_first_of(kBlanks));
    return JobRequest{std::string(Trimmed(name)), std::string(Trimmed(from_app))};
}

std::optional<std::string> ItemValue(std::string_view options, std::string_view key) {
    std::size_t at = 0;
    while (at < options.size()) {
        const auto start = options.find_first_not_of(kBlanks, at);
        if (start == std::string_view::npos) break;
        const auto end = std::min(options.find_first_of(kBlanks, start), options.size());
        const std::string_view item = options.substr(start, end - start);
        if (item.substr(0, key.size()) == key) return std::string(item.substr(key.size()));
        at = end;
    }
    return std::nullopt;
}

PresetLevels ParsePresetLevels(std::string_view options) {
    PresetLevels levels;
    const auto value = ItemValue(options, kLevelsKey);
    if (!value) return levels;
    std::size_t slot = 0;
    std::string_view rest = *value;
    while (slot < levels.size()) {
        const auto comma = rest.find(',');
        const std::string_view code = rest.substr(0, comma);
        if (!code.empty()) levels[slot++] = TruncateChars(ToUtf8(code), kPresetCodeChars);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return levels;
}

BarcodeOverrides ParseBarcodeItems(std::string_view options) {
    BarcodeOverrides overrides;
    overrides.barcode = NumberItem(options, kBarcodeKey);
    overrides.barcodeval = NumberItem(options, kBarcodeTypeKey);
    auto export_file = ItemValue(options, kBarcodeExportKey);
    if (export_file && !export_file->empty()) overrides.nomefilebarcode = ToUtf8(*export_file);
    return overrides;
}

CommandLineResult ApplyCommandLine(std::string_view command_line,
                                   const std::filesystem::path& settings_file) {
    CommandLineResult result;
    const auto request = ParseJobRequest(command_line);
    if (!request || request->job_name.empty()) return result;
    if (!FindJob(settings_file, ToUtf8(request->job_name), result)) return result;
    result.preset_levels = ParsePresetLevels(request->options);
    result.barcode_overrides = ParseBarcodeItems(request->options);
    return result;
}

}  // namespace scantora
