// The language table and the lookup of interface texts by identifier.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/builtin_texts.h"
#include "operator/interface_texts.h"

namespace scantora {

// Texts read from a language file, at most kMaxEntries, sorted by identifier once filled.
class LanguageTable {
public:
    static constexpr std::size_t kMaxEntries = 250;

    struct Entry {
        int id;
        std::string text;
    };

    // Adds an entry; returns false (and adds nothing) when the table is full or `id` is not
    // positive.
    bool Add(int id, std::string text);
    // Sorts by identifier, ascending; entries with equal identifiers keep their file order.
    void Sort();
    void Clear() { entries_.clear(); }
    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};

// The texts of the interface: the language table over the built-in table of one language.
class TextLookup : public InterfaceTexts {
public:
    TextLookup() = default;
    explicit TextLookup(BuiltinLanguage builtin) : builtin_(builtin) {}

    // The text `id`: the language table's non-empty text, else the built-in one (empty when
    // there is none). The texts that no language file may change always come built in.
    std::string Text(int id) const override;
    // The language table's text `id` only, without the built-in table (empty when missing).
    std::string TableText(int id) const;
    // Whether `id` is one of the texts always taken from the built-in table.
    static bool IsBuiltinOnly(int id);

    LanguageTable& table() { return table_; }
    const LanguageTable& table() const { return table_; }
    BuiltinLanguage builtin() const { return builtin_; }
    void set_builtin(BuiltinLanguage builtin) { builtin_ = builtin; }

private:
    LanguageTable table_;
    BuiltinLanguage builtin_ = BuiltinLanguage::kItalian;
};

}  // namespace scantora
