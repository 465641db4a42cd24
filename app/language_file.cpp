#include "app/language_file.h"

#include <strings.h>
#include <algorithm>
#include <fstream>

#include "app/global_settings.h"
#include "app/user_language.h"
#include "config/line_reader.h"
#include "config/numeric_text.h"
#include "config/path_text.h"
#include "config/text_encoding.h"
#include "operator/text_ids.h"

namespace scantora {
namespace {

constexpr std::size_t kIdentifierColumns = 6;
constexpr std::size_t kTextColumn = 9;  // zero-based start of the text
constexpr std::string_view kChoicePrefix = "Scantora_";
constexpr std::string_view kChoiceSuffix = ".lang";

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool IsLanguageChoiceFile(const std::string& name) {
    return name.size() > kChoicePrefix.size() + kChoiceSuffix.size() &&
           name.compare(0, kChoicePrefix.size(), kChoicePrefix) == 0 &&
           name.compare(name.size() - kChoiceSuffix.size(), kChoiceSuffix.size(), kChoiceSuffix) ==
               0;
}

}  // namespace

void ReadLanguageLines(std::istream& in, LanguageTable& table) {
    std::string line;
    while (ReadTextLine(in, line)) {
        if (line.size() <= kTextColumn) continue;
        const long id = LeadingNumber(std::string_view(line).substr(0, kIdentifierColumns));
        if (id <= 0 || id > INT32_MAX) continue;
        table.Add(static_cast<int>(id), FieldValue(std::string_view(line).substr(kTextColumn),
                                                   kMaxLanguageLine - kTextColumn));
    }
}

std::string LoadLanguage(const std::filesystem::path& setup_dir, std::string_view locale,
                         TextLookup& texts) {
    GlobalSettings settings;
    const auto settings_path = setup_dir / kGlobalSettingsName;
    ReadGlobalSettings(settings_path, settings);
    // Only a file name: the language file always lives in the setup directory.
    std::string name = FileNamePart(settings.language_file);
    if (SameIgnoringCase(name, kDefaultLanguageFile)) {
        const auto primary = PrimaryLanguage(locale);
        const std::string user_file = primary ? DefaultLanguageFile(*primary) : std::string();
        if (!user_file.empty() && std::filesystem::is_regular_file(setup_dir / user_file)) {
            // A settings file is not created just for this: its absence is what sends the
            // job list to the older registry files.
            if (std::filesystem::exists(settings_path))
                SaveLanguageChoice(settings_path, user_file);
            name = user_file;
        }
    }
    texts.set_builtin(BuiltinLanguageFor(locale));
    texts.table().Clear();
    if (!name.empty()) {
        std::ifstream in(setup_dir / name, std::ios::binary);
        if (in.is_open() && std::filesystem::is_regular_file(setup_dir / name))
            ReadLanguageLines(in, texts.table());
    }
    texts.table().Sort();
    return name;
}

std::vector<std::string> LanguageChoices(const std::filesystem::path& setup_dir,
                                         std::string_view current) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(setup_dir, error)) {
        const std::string name = entry.path().filename().string();
        if (IsLanguageChoiceFile(name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    if (!SameIgnoringCase(current, kDefaultLanguageFile)) names.emplace_back(kDefaultLanguageFile);
    return names;
}

bool ChangeLanguage(const std::filesystem::path& setup_dir, std::string_view current,
                    std::string_view chosen, Operator& op, const TextLookup& texts) {
    if (chosen.empty() || chosen == current) return false;
    if (!SaveLanguageChoice(setup_dir / kGlobalSettingsName, chosen)) return false;
    op.Inform(texts.Text(text_id::kRestartApplication));
    return true;
}

}  // namespace scantora
