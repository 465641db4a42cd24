// The job setup: the property sheet over a working copy of the job record, and its tabbed
// single-dialog form. Every field is bound to its key of the job file; labels come from the
// text lookup. The views build their controls from the pages and pass each change here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "config/job_record.h"
#include "config/key_table.h"
#include "operator/interface_texts.h"
#include "operator/operator.h"

namespace scantora {

enum class FieldKind {
    kEdit,          // text, cut to its width
    kDigits,        // digits only, cut to its width
    kCheck,         // a box for a yes/no key
    kChoice,        // radio buttons, one per option
    kLevel,         // a drop-down list of the job's levels, "none" first
    kBit,           // a box for one bit of BARCODEVAL
    kBarcodeTypes,  // a button opening the "Bar Code Recognition" dialog over BARCODEVAL
};

struct FieldOption {
    std::string label;
    std::string value;  // what the key holds when this option is chosen
};

struct SheetField {
    std::string key;  // the job file key with its "=": "APPLICAZIONE=", "SEP01_LIV="
    std::string label;
    FieldKind kind = FieldKind::kEdit;
    std::size_t max_chars = 0;  // for edits: the key's width
    std::string hint;           // shown in an empty edit
    std::vector<FieldOption> options;
    int bit = 0;  // for kBit
};

// A group of fields: a form of one field per row, or a table whose rows hold one field per
// column.
struct SheetSection {
    std::string title;                 // empty for none
    std::vector<std::string> columns;  // a table's headings; empty for a form
    std::vector<std::vector<SheetField>> rows;
};

struct SheetPage {
    std::string title;
    int level = -1;  // a level page's level, from 0
    std::vector<SheetSection> sections;
};

enum class SetupForm {
    kPropertySheet,  // "Settaggi Applicazioni": saved with the main writer
    kTabbed,         // "Settaggi Applicazione": saved with the second writer, restart asked
};

// The sheet shows one level page per level of NLIVELLI. When NLIVELLI changes while the sheet
// is open, the level pages follow at once: new levels get pages, dropped levels lose theirs but
// keep their values in the working copy until OK, so that a slip of the key loses nothing; the
// file then holds only the levels NLIVELLI names.
class SetupSheet {
public:
    SetupSheet(JobRecord working_copy, const KeyTable& keys, const InterfaceTexts& texts,
               SetupForm form = SetupForm::kPropertySheet);

    SetupForm form() const { return form_; }
    std::string Caption() const;
    // Application, one page per level, Transfer, Barcode, Other.
    std::vector<SheetPage> Pages() const;
    int LevelPageCount() const;
    // The entries of a kLevel list: "none" (value 0), then the job's levels, and a stored level
    // beyond them so that it stays visible.
    std::vector<FieldOption> LevelOptions(const SheetField& field) const;

    std::string Text(const SheetField& field) const;
    // Takes an edit's text: a digits field keeps only the digits; both are cut to the width.
    // Returns true when the level pages changed.
    bool SetText(const SheetField& field, std::string_view text);
    bool Checked(const SheetField& field) const;
    // A box that already shows `checked` leaves its value as it was stored.
    void SetChecked(const SheetField& field, bool checked);
    // The option (kChoice) or list entry (kLevel) that the value names; -1 for none.
    int Chosen(const SheetField& field) const;
    void Choose(const SheetField& field, int index);

    // OK: the job needs a name and 1 to 9 levels; otherwise a beep, the sheet stays open and
    // `invalid_key()` names the field to fix. On success BARCODEVAL holds the sum of the
    // checked bits.
    bool Accept(Operator& op);
    const std::string& invalid_key() const { return invalid_key_; }

    const JobRecord& record() const { return record_; }

private:
    std::string& Value(std::string_view key);
    const std::string& Value(std::string_view key) const;
    const KeyDef& Key(std::string_view key) const;
    std::string Label(int id) const { return texts_.Text(id); }

    SheetPage ApplicationPage() const;
    SheetPage LevelPage(int n) const;
    SheetPage TransferPage() const;
    SheetPage BarcodePage() const;
    SheetPage OtherPage() const;
    SheetField Field(std::string key, int label_id, FieldKind kind = FieldKind::kEdit) const;
    SheetField Choice(std::string key, std::string label, std::vector<FieldOption> options) const;

    JobRecord record_;
    const KeyTable& keys_;
    const InterfaceTexts& texts_;
    SetupForm form_;
    std::string invalid_key_;
};

}  // namespace scantora
