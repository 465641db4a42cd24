// The built-in interface texts: the Italian table and the English variant of it.
#pragma once

#include <span>
#include <string_view>

namespace scantora {

struct TextEntry {
    int id;
    std::string_view text;
};

enum class BuiltinLanguage { kItalian, kEnglish };

// Every built-in Italian text, ascending by identifier.
std::span<const TextEntry> ItalianTexts();
// The English texts where they differ from the Italian ones, ascending by identifier.
std::span<const TextEntry> EnglishTextsDiffering();

// The built-in text `id` in `language` (an English text falls back to the Italian one); empty
// when there is none.
std::string_view BuiltinText(BuiltinLanguage language, int id);

}  // namespace scantora
