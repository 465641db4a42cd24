#include "app/builtin_texts.h"

#include <algorithm>

namespace scantora {
namespace {

std::string_view Find(std::span<const TextEntry> table, int id) {
    const auto it = std::lower_bound(table.begin(), table.end(), id,
                                     [](const TextEntry& e, int wanted) { return e.id < wanted; });
    if (it == table.end() || it->id != id) return {};
    return it->text;
}

}  // namespace

std::string_view BuiltinText(BuiltinLanguage language, int id) {
    if (language == BuiltinLanguage::kEnglish) {
        const auto english = Find(EnglishTextsDiffering(), id);
        if (!english.empty()) return english;
    }
    return Find(ItalianTexts(), id);
}

}  // namespace scantora
