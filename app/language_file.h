// Language files: one text per line, the identifier in columns 1 to 6 (leading blanks
// allowed), columns 7 to 9 ignored, the text from column 10 to the end of the line.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/text_lookup.h"
#include "operator/operator.h"

namespace scantora {

// Longest part of a language file line that is kept, in characters.
inline constexpr std::size_t kMaxLanguageLine = 498;

// Adds the entries of `in` to `table`: lines of 9 characters or fewer, lines with an
// identifier that is not a positive number and lines beyond the table's capacity are skipped.
// Texts are converted to UTF-8 (see config/text_encoding.h). Does not sort.
void ReadLanguageLines(std::istream& in, LanguageTable& table);

// The language set-up at start: LINGUAGGIO from the global settings file (default
// "Scantora.lang"); when that is the default, the user's language file is taken if it exists
// in `setup_dir` and is saved as the choice (when the global settings file exists). The table is
// refilled from the file (when it exists) and sorted; the built-in table follows `locale`. Returns
// the file name in use.
std::string LoadLanguage(const std::filesystem::path& setup_dir, std::string_view locale,
                         TextLookup& texts);

// The names the language box offers: the "Scantora_*.lang" files of `setup_dir`, sorted, then
// "Scantora.lang" when another language is current.
std::vector<std::string> LanguageChoices(const std::filesystem::path& setup_dir,
                                         std::string_view current);

// The language box's OK: when `chosen` is not empty and differs from `current`, saves it as
// LINGUAGGIO and shows text 61537 (restart). Returns whether the choice was saved.
bool ChangeLanguage(const std::filesystem::path& setup_dir, std::string_view current,
                    std::string_view chosen, Operator& op, const TextLookup& texts);

}  // namespace scantora
