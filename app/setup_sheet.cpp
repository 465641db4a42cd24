#include "app/setup_sheet.h"

#include <algorithm>
#include <cassert>
#include <cctype>

#include "app/barcode_types.h"
#include "config/numeric_text.h"
#include "config/text_encoding.h"
#include "operator/text_ids.h"

namespace scantora {
namespace {

constexpr std::string_view kLevelsKey = "NLIVELLI=";
constexpr std::string_view kNameKey = "APPLICAZIONE=";
constexpr std::string_view kBarcodeTypesKey = "BARCODEVAL=";
constexpr std::size_t kLevelsWidth = 1;  // one digit: 1 to 9

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string LevelKeyName(const char* name, int n) {
    return std::string(name) + "_" + std::to_string(n) + "=";
}

std::string SeparatorKeyName(int index, const char* suffix) {
    return "SEP0" + std::to_string(index + 1) + "_" + suffix + "=";
}

// How a yes/no key shows as a box.
bool ShowsYes(std::string_view key, const std::string& value) {
    if (key == "MULTITIFF=") return StartsWith(value, "Y");
    if (StartsWith(key, "OBBLIGATORIO_")) {
        LevelSettings level;
        level.obbligatorio = value;
        return level.IsMandatory();
    }
    return LeadingNumber(value) != 0;
}

std::vector<FieldOption> PlusMinus() {
    return {{"+", "+"}, {"-", "-"}};
}

}  // namespace

SetupSheet::SetupSheet(JobRecord working_copy, const KeyTable& keys, const InterfaceTexts& texts,
                       SetupForm form)
    : record_(std::move(working_copy)), keys_(keys), texts_(texts), form_(form) {}

std::string SetupSheet::Caption() const {
    return Label(form_ == SetupForm::kTabbed ? text_id::kTabbedSetupCaption
                                             : text_id::kJobSettingsTitle);
}

int SetupSheet::LevelPageCount() const {
    return LevelCountOf(record_.nlivelli);
}

std::vector<SheetPage> SetupSheet::Pages() const {
    std::vector<SheetPage> pages{ApplicationPage()};
    for (int n = 0; n < LevelPageCount(); ++n)
        pages.push_back(LevelPage(n));
    pages.push_back(TransferPage());
    pages.push_back(BarcodePage());
    pages.push_back(OtherPage());
    return pages;
}

SheetField SetupSheet::Field(std::string key, int label_id, FieldKind kind) const {
    SheetField field;
    field.max_chars = Key(key).width;
    field.key = std::move(key);
    field.label = label_id ? Label(label_id) : std::string();
    field.kind = kind;
    return field;
}

SheetField SetupSheet::Choice(std::string key, std::string label,
                              std::vector<FieldOption> options) const {
    SheetField field = Field(std::move(key), 0, FieldKind::kChoice);
    field.label = std::move(label);
    field.options = std::move(options);
    return field;
}

SheetPage SetupSheet::ApplicationPage() const {
    SheetField levels = Field("NLIVELLI=", 61470, FieldKind::kDigits);  // "Numero Livelli (1-9)"
    levels.max_chars = kLevelsWidth;
    SheetSection form;
    for (SheetField field : {
             Field("APPLICAZIONE=", 61461),        // "Applicazione"
             Field("INISETSCAN=", 61459),          // "File Settaggi Scanner"
             Field("INISAVEPARAM=", 61460),        // "File Settaggi \nParametri Documenti"
             Field("DISCO_SCARICO=", 61477),       // "Disco/Directory di scarico"
             Field("NOMEFRONTE=", 61466),          // "Nome Front"
             Field("NOMERETRO=", 61467),           // "Nome Retro"
             levels, Field("AUTOMATICO=", 61472),  // "Livello Automatico"
             Field("MULTITIFF=", text_id::kMultiTiff, FieldKind::kCheck),
             Field("DISCO_WORK=", 61474),                      // "Disco di lavoro"
             Field("MAXDOC_NUM=", 61475),                      // "Max N. Documenti"
             Field("MAXDOC_NLIV=", 61473),                     // "Num Livello su cui operare"
             Choice("MAXDOC_OP=", Label(61476), PlusMinus()),  // "Operazione a Max. Documenti"
         })
        form.rows.push_back({std::move(field)});
    return {Label(61455), -1, {std::move(form)}};  // "Applicazione"
}

SheetPage SetupSheet::LevelPage(int n) const {
    std::vector<FieldOption> operations = PlusMinus();
    operations.push_back({Label(61533), ""});  // "Nessuna"
    SheetSection form;
    for (SheetField field : {
             Field(LevelKeyName("DESCRIZIONE", n), 61478),    // "Descrizione Livello"
             Field(LevelKeyName("NOMEFILEINPUT", n), 61479),  // "File Controllo Input"
             Field(LevelKeyName("NMAXCAR", n), 61480),        // "N. Max Caratteri"
             Field(LevelKeyName("COMPOSNOME", n), 61464),     // "Composizione Nome"
             Field(LevelKeyName("AVUOTO", n), 61481),         // "a Vuoto"
             Field(LevelKeyName("OBBLIGATORIO", n), 61468, FieldKind::kCheck),  // "Obbligatorio"
             // "Operazione Fine Documento"
             Choice(LevelKeyName("OPFINESCANDOC", n), Label(61471), operations),
             Field(LevelKeyName("LOCKUSER", n), 61536, FieldKind::kCheck),  // "Blocca all'utente"
         })
        form.rows.push_back({std::move(field)});
    // "Livello 1" for level 0: the operator counts levels from 1.
    return {Label(61456) + " " + std::to_string(n + 1), n, {std::move(form)}};
}

SheetPage SetupSheet::TransferPage() const {
    SheetSection form;
    for (SheetField field : {
             Field("TRASFERIMENTO=", 61458, FieldKind::kCheck),  // "Trasferimento Document"
             Field("VIEWNLIVELLI=", 61462),  // "N° Livelli da Visualizzare\nper Trasferimento"
             Field("INVIOA=", 61482),        // "Invio A"
             Field("LOG=", 61463, FieldKind::kCheck),         // "Creazione LOG File"
             Field("NOMEFILELOG=", 61483),                    // "Nome LOG File"
             Field("NUMLIVELLILOG=", 61465),                  // "Livelli da inserire nel File Log"
             Field("LOGNUMFILE=", 61469, FieldKind::kCheck),  // "Inserire Num. File"
             Field("LOGDIRBASE=", 61484, FieldKind::kCheck),  // "Inserire Directory Base"
             Field("SEMAFORO=", 61554, FieldKind::kCheck),    // "Creazione File Semaforo"
             // "A Inizio Trasferimento" 0, "A Fine Trasferimento" 1
             Choice("SEMAFORO_MOMENTOCREAZ=", "", {{Label(61555), "0"}, {Label(61556), "1"}}),
             Field("SEMAFORO_NOMEFILE=", 61557),  // "Nome File Semaforo (senza path)"
         })
        form.rows.push_back({std::move(field)});
    return {Label(61457), -1, {std::move(form)}};  // "Trasferimento"
}

SheetPage SetupSheet::BarcodePage() const {
    SheetField threshold = Field("THRESHOLDBARCODE=", 61548, FieldKind::kDigits);
    threshold.hint = Label(text_id::kThresholdHint);
    SheetSection form;
    for (SheetField field : {
             Field("BARCODE=", 61528, FieldKind::kCheck),  // "Riconoscimento Barcode"
             Field("NOMEFILEBARCODE=", 61529),             // "File Export Barcode"
             Field("EXPORTBARCODEINBATCH=", text_id::kExportInBatch, FieldKind::kCheck),
             threshold,  // "LivelloThreshold"
             Field("ADAPTIVEBARCODE=", text_id::kAdaptiveBarcode, FieldKind::kCheck),
         })
        form.rows.push_back({std::move(field)});

    // The tabbed form keeps the types in their own dialog.
    SheetSection types{Label(text_id::kBarcodeTypeGroup), {}, {}};
    if (form_ == SetupForm::kTabbed) {
        types.rows.push_back(
            {Field(std::string(kBarcodeTypesKey), text_id::kBarcodeRecognitionCaption,
                   FieldKind::kBarcodeTypes)});
    } else {
        for (const Symbology& symbology : kSymbologies) {
            SheetField box =
                Field(std::string(kBarcodeTypesKey), symbology.label_id, FieldKind::kBit);
            box.bit = symbology.bit;
            types.rows.push_back({std::move(box)});
        }
    }

    // "Barcode di separazione": "Livello", "Valore", "Operazione", "Salva Immagine"
    SheetSection separators{
        Label(61549), {Label(61550), Label(61551), Label(61552), Label(61553)}, {}};
    for (int i = 0; i < kSeparatorCount; ++i) {
        separators.rows.push_back({Field(SeparatorKeyName(i, "LIV"), 0, FieldKind::kLevel),
                                   Field(SeparatorKeyName(i, "VAL"), 0),
                                   Choice(SeparatorKeyName(i, "OP"), "", PlusMinus()),
                                   Field(SeparatorKeyName(i, "SAVEIMG"), 0, FieldKind::kCheck)});
    }
    return {Label(61534), -1, {std::move(form), std::move(types), std::move(separators)}};
}

SheetPage SetupSheet::OtherPage() const {
    SheetSection form;
    form.rows.push_back({Field("JPGCOMPRESS=", text_id::kJpegCompression, FieldKind::kDigits)});
    // "Chiudi Scantora dopo Trasf."
    form.rows.push_back({Field("CHIUSURADOPOTRASF=", 61531, FieldKind::kCheck)});
    // "Mostra Interfaccia Twain": first scan only 1, every scan 2, never 3
    form.rows.push_back({Choice("SHOWTWAIN=", Label(61538),
                                {{Label(61539), "1"}, {Label(61540), "2"}, {Label(61541), "3"}})});
    return {Label(61535), -1, {std::move(form)}};  // "Varie"
}

std::vector<FieldOption> SetupSheet::LevelOptions(const SheetField& field) const {
    std::vector<FieldOption> options{{Label(61533), "0"}};  // "Nessuna"
    const int levels = LevelPageCount();
    for (int level = 1; level <= levels; ++level) {
        const std::string& description = record_.levels[level - 1].descrizione;
        std::string label = std::to_string(level);
        if (!description.empty()) label += " - " + description;
        options.push_back({std::move(label), std::to_string(level)});
    }
    const long stored = LeadingNumber(Value(field.key));
    if (stored > levels) options.push_back({std::to_string(stored), std::to_string(stored)});
    return options;
}

const KeyDef& SetupSheet::Key(std::string_view key) const {
    const KeyDef* def = keys_.FindKey(key);
    assert(def && "every field names a key of the job file");
    return *def;
}

std::string& SetupSheet::Value(std::string_view key) {
    return Key(key).field(record_);
}

const std::string& SetupSheet::Value(std::string_view key) const {
    return Key(key).Value(record_);
}

std::string SetupSheet::Text(const SheetField& field) const {
    return Value(field.key);
}

bool SetupSheet::SetText(const SheetField& field, std::string_view text) {
    std::string value(text);
    if (field.kind == FieldKind::kDigits)
        value.erase(std::remove_if(value.begin(), value.end(),
                                   [](unsigned char c) { return !std::isdigit(c); }),
                    value.end());
    if (field.max_chars > 0) value = TruncateChars(value, field.max_chars);
    const int levels_before = LevelPageCount();
    Value(field.key) = std::move(value);
    return field.key == kLevelsKey && LevelPageCount() != levels_before;
}

bool SetupSheet::Checked(const SheetField& field) const {
    if (field.kind == FieldKind::kBit) return (SymbologyMask(Value(field.key)) & field.bit) != 0;
    return ShowsYes(field.key, Value(field.key));
}

void SetupSheet::SetChecked(const SheetField& field, bool checked) {
    if (Checked(field) == checked) return;
    std::string& value = Value(field.key);
    if (field.kind == FieldKind::kBit) {
        const int mask = SymbologyMask(value);
        value = std::to_string(checked ? mask | field.bit : mask & ~field.bit);
    } else if (field.key == "MULTITIFF=") {
        value = checked ? "Y" : "N";
    } else {
        value = checked ? "1" : "0";
    }
}

int SetupSheet::Chosen(const SheetField& field) const {
    const std::string& value = Value(field.key);
    const std::vector<FieldOption> options =
        field.kind == FieldKind::kLevel ? LevelOptions(field) : field.options;
    const KeyDef& key = Key(field.key);
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string& option = options[i].value;
        const bool same = key.form == WriterForm::kInteger
                              ? std::max(LeadingNumber(value), 0L) == LeadingNumber(option)
                          : key.form == WriterForm::kOneChar ? TruncateChars(value, 1) == option
                                                             : value == option;
        if (same) return static_cast<int>(i);
    }
    return -1;
}

void SetupSheet::Choose(const SheetField& field, int index) {
    const std::vector<FieldOption> options =
        field.kind == FieldKind::kLevel ? LevelOptions(field) : field.options;
    if (index < 0 || index >= static_cast<int>(options.size())) return;
    Value(field.key) = options[static_cast<std::size_t>(index)].value;
}

bool SetupSheet::Accept(Operator& op) {
    invalid_key_.clear();
    const std::string& name = Value(kNameKey);
    const bool named =
        std::any_of(name.begin(), name.end(), [](unsigned char c) { return !std::isspace(c); });
    const long levels = LeadingNumber(Value(kLevelsKey));
    if (!named)
        invalid_key_ = kNameKey;
    else if (levels < 1 || levels > kMaxLevels)
        invalid_key_ = kLevelsKey;
    if (!invalid_key_.empty()) {
        op.Beep();
        return false;
    }
    std::string& types = Value(kBarcodeTypesKey);
    types = std::to_string(SymbologyMask(types));
    return true;
}

}  // namespace scantora
