// The user's language on this system and the language file and built-in table it selects.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/builtin_texts.h"

namespace scantora {

// The locale name that decides the language of messages: $LC_ALL, else $LC_MESSAGES, else
// $LANG (the first one set and not empty); empty when none is.
std::string UserLocale();

// The primary language identifier (0x09 English, 0x10 Italian, ...) of a locale name such as
// "it_IT.UTF-8" or "de"; nothing for "C", "POSIX" and unknown languages.
std::optional<int> PrimaryLanguage(std::string_view locale);

// The default language file of a primary language ("Scantora_ger.lang" for 0x07 and 0x13);
// empty when the language has none.
std::string DefaultLanguageFile(int primary_language);

// The built-in table for a locale: English for English, Italian for every other language.
BuiltinLanguage BuiltinLanguageFor(std::string_view locale);

}  // namespace scantora
