#include "app/user_language.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace scantora {
namespace {

constexpr int kPrimaryEnglish = 0x09;

struct IsoLanguage {
    std::string_view code;  // ISO 639-1 code as it starts a locale name
    int primary;
};

constexpr IsoLanguage kIsoLanguages[] = {
    {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06}, {"de", 0x07}, {"el", 0x08}, {"en", 0x09},
    {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C}, {"hu", 0x0E}, {"is", 0x0F}, {"it", 0x10},
    {"ja", 0x11}, {"ko", 0x12}, {"nl", 0x13}, {"nb", 0x14}, {"nn", 0x14}, {"no", 0x14},
    {"pl", 0x15}, {"pt", 0x16}, {"ru", 0x19}, {"hr", 0x1A}, {"sr", 0x1A}, {"bs", 0x1A},
    {"sk", 0x1B}, {"sv", 0x1D}, {"tr", 0x1F},
};

struct LanguageFile {
    int primary;
    std::string_view file;
};

constexpr LanguageFile kDefaultFiles[] = {
    {0x04, "Scantora_chi.lang"}, {0x05, "Scantora_cze.lang"}, {0x06, "Scantora_dan.lang"},
    {0x07, "Scantora_ger.lang"}, {0x13, "Scantora_ger.lang"}, {0x08, "Scantora_gre.lang"},
    {0x09, "Scantora_eng.lang"}, {0x0A, "Scantora_spa.lang"}, {0x0B, "Scantora_fin.lang"},
    {0x0C, "Scantora_Fre.lang"}, {0x0E, "Scantora_hun.lang"}, {0x0F, "Scantora_ice.lang"},
    {0x10, "Scantora_ita.lang"}, {0x11, "Scantora_jap.lang"}, {0x12, "Scantora_kor.lang"},
    {0x14, "Scantora_nor.lang"}, {0x15, "Scantora_pol.lang"}, {0x16, "Scantora_por.lang"},
    {0x19, "Scantora_rus.lang"}, {0x1A, "Scantora_ser.lang"}, {0x1B, "Scantora_slo.lang"},
    {0x1D, "Scantora_swe.lang"}, {0x1F, "Scantora_tur.lang"},
};

}  // namespace

std::string UserLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return value;
    }
    return {};
}

std::optional<int> PrimaryLanguage(std::string_view locale) {
    const auto end = locale.find_first_of("_.@-");
    std::string code(locale.substr(0, end));
    std::transform(code.begin(), code.end(), code.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const auto& language : kIsoLanguages)
        if (language.code == code) return language.primary;
    return std::nullopt;
}

std::string DefaultLanguageFile(int primary_language) {
    for (const auto& entry : kDefaultFiles)
        if (entry.primary == primary_language) return std::string(entry.file);
    return {};
}

BuiltinLanguage BuiltinLanguageFor(std::string_view locale) {
    return PrimaryLanguage(locale) == kPrimaryEnglish ? BuiltinLanguage::kEnglish
                                                      : BuiltinLanguage::kItalian;
}

}  // namespace scantora
