#include "app/text_lookup.h"

#include <algorithm>

#include "operator/text_ids.h"

namespace scantora {

bool LanguageTable::Add(int id, std::string text) {
    // Identifier 0 marks the end of the used table; an entry with it (or below) would hide
    // every other entry once sorted, so such lines are refused.
    if (id <= 0 || entries_.size() >= kMaxEntries) return false;
    entries_.push_back({id, std::move(text)});
    return true;
}

void LanguageTable::Sort() {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.id < b.id; });
}

bool TextLookup::IsBuiltinOnly(int id) {
    return id == text_id::kFillFieldsToScan || id == text_id::kJobFileRequired ||
           id == text_id::kControlTableNotLoaded || id == text_id::kControlTableOpenError ||
           id == text_id::kUnknownParameter;
}

std::string TextLookup::TableText(int id) const {
    // The scan stops at the first entry beyond the wanted one, or at an identifier 0 that
    // ends the used part of the table.
    for (const auto& entry : table_.entries()) {
        if (entry.id == 0 || entry.id > id) break;
        if (entry.id == id && !entry.text.empty()) return entry.text;
    }
    return {};
}

std::string TextLookup::Text(int id) const {
    if (!IsBuiltinOnly(id)) {
        std::string text = TableText(id);
        if (!text.empty()) return text;
    }
    return std::string(BuiltinText(builtin_, id));
}

}  // namespace scantora
