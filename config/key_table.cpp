#include "config/key_table.h"

#include <algorithm>
#include <cstdio>

namespace scantora {
namespace {

constexpr bool kM = true;   // mandatory
constexpr bool kO = false;  // optional
constexpr auto kText = WriterForm::kText;
constexpr auto kInt = WriterForm::kInteger;
constexpr auto kChar = WriterForm::kOneChar;

// A key bound to a member of the job record.
KeyDef Key(std::string key, bool mandatory, std::size_t width, WriterForm form,
           std::string JobRecord::*member) {
    return {std::move(key), mandatory, width, form,
            [member](JobRecord& job) -> std::string& { return job.*member; }};
}

KeyDef LevelKey(const char* name, int n, std::size_t width, WriterForm form,
                std::string LevelSettings::*member, bool mandatory = kM) {
    return {std::string(name) + "_" + std::to_string(n) + "=", mandatory, width, form,
            [member, n](JobRecord& job) -> std::string& { return job.levels[n].*member; }};
}

KeyDef SeparatorKey(const char* suffix, int index, std::size_t width, WriterForm form,
                    std::string SeparatorSettings::*member) {
    char name[32];
    std::snprintf(name, sizeof name, "SEP%02d_%s=", index + 1, suffix);
    return {name, kO, width, form, [member, index](JobRecord& job) -> std::string& {
                return job.separators[index].*member;
            }};
}

KeySection General() {
    using J = JobRecord;
    return {"[GENERALE]",
            {Key("APPLICAZIONE=", kM, 69, kText, &J::applicazione),
             Key("INISAVEPARAM=", kM, 69, kText, &J::inisaveparam),
             Key("INISETSCAN=", kM, 69, kText, &J::inisetscan),
             Key("NLIVELLI=", kM, 9, kText, &J::nlivelli),
             Key("MULTITIFF=", kM, 9, kChar, &J::multitiff),
             Key("MAXDOC_NUM=", kM, 9, kText, &J::maxdoc_num),
             Key("MAXDOC_OP=", kM, 9, kChar, &J::maxdoc_op),
             Key("NOMEFRONTE=", kM, 4, kText, &J::nomefronte),
             Key("NOMERETRO=", kM, 4, kText, &J::nomeretro),
             Key("MAXDOC_NLIV=", kM, 9, kText, &J::maxdoc_nliv),
             Key("DISCO_SCARICO=", kM, 49, kText, &J::disco_scarico),
             Key("DISCO_WORK=", kM, 9, kText, &J::disco_work),
             Key("AUTOMATICO=", kM, 9, kText, &J::automatico),
             Key("JPGCOMPRESS=", kO, 4, kInt, &J::jpgcompress)}};
}

KeySection Transfer() {
    using J = JobRecord;
    return {"[TRASFERIMENTO]",
            {Key("TRASFERIMENTO=", kM, 2, kInt, &J::trasferimento),
             Key("VIEWNLIVELLI=", kM, 3, kText, &J::viewnlivelli),
             Key("INVIOA=", kM, 254, kText, &J::invioa), Key("LOG=", kM, 2, kInt, &J::log),
             Key("NOMEFILELOG=", kM, 254, kText, &J::nomefilelog),
             Key("NUMLIVELLILOG=", kM, 3, kText, &J::numlivellilog),
             Key("LOGNUMFILE=", kM, 2, kInt, &J::lognumfile),
             Key("LOGDIRBASE=", kM, 2, kInt, &J::logdirbase),
             Key("CHIUSURADOPOTRASF=", kO, 2, kInt, &J::chiusuradopotrasf),
             Key("SEMAFORO=", kO, 2, kInt, &J::semaforo),
             Key("SEMAFORO_MOMENTOCREAZ=", kO, 2, kInt, &J::semaforo_momentocreaz),
             Key("SEMAFORO_NOMEFILE=", kO, 254, kText, &J::semaforo_nomefile)}};
}

KeySection Barcode() {
    using J = JobRecord;
    using S = SeparatorSettings;
    KeySection section{"[BARCODE]",
                       {Key("BARCODE=", kO, 2, kInt, &J::barcode),
                        Key("NOMEFILEBARCODE=", kO, 254, kText, &J::nomefilebarcode),
                        Key("BARCODEVAL=", kO, 5, kInt, &J::barcodeval),
                        Key("EXPORTBARCODEINBATCH=", kO, 2, kInt, &J::exportbarcodeinbatch),
                        Key("THRESHOLDBARCODE=", kO, 3, kInt, &J::thresholdbarcode),
                        Key("ADAPTIVEBARCODE=", kO, 2, kInt, &J::adaptivebarcode)}};
    for (int i = 0; i < kSeparatorCount; ++i) {
        section.keys.push_back(SeparatorKey("LIV", i, 4, kInt, &S::liv));
        section.keys.push_back(SeparatorKey("VAL", i, 49, kText, &S::val));
        section.keys.push_back(SeparatorKey("OP", i, 9, kChar, &S::op));
        section.keys.push_back(SeparatorKey("SAVEIMG", i, 4, kText, &S::saveimg));
    }
    return section;
}

KeySection Various() {
    using J = JobRecord;
    return {"[VARIE]",
            {Key("TWAINSOURCE=", kO, 254, kText, &J::twainsource),
             Key("SHOWTWAIN=", kO, 6, kInt, &J::showtwain)}};
}

KeySection Level(int n) {
    using L = LevelSettings;
    return {LevelHeader(n),
            {LevelKey("DESCRIZIONE", n, 69, kText, &L::descrizione),
             LevelKey("NOMEFILEINPUT", n, 69, kText, &L::nomefileinput),
             LevelKey("NMAXCAR", n, 9, kText, &L::nmaxcar),
             LevelKey("COMPOSNOME", n, 69, kText, &L::composnome),
             LevelKey("OPFINESCANDOC", n, 9, kChar, &L::opfinescandoc),
             LevelKey("OBBLIGATORIO", n, 9, kInt, &L::obbligatorio),
             LevelKey("AVUOTO", n, 69, kText, &L::avuoto),
             LevelKey("LOCKUSER", n, 9, kInt, &L::lockuser, kO)}};
}

}  // namespace

std::size_t KeySection::MandatoryCount() const {
    return static_cast<std::size_t>(
        std::count_if(keys.begin(), keys.end(), [](const KeyDef& k) { return k.mandatory; }));
}

std::string LevelHeader(int n) {
    return "[LIVELLO " + std::to_string(n) + "]";
}

KeyTable KeyTable::Build() {
    KeyTable table;
    table.sections_ = {General(), Transfer(), Barcode(), Various()};
    for (int n = 0; n < kMaxLevels; ++n)
        table.sections_.push_back(Level(n));
    return table;
}

const KeySection* KeyTable::FindSection(std::string_view header) const {
    for (const auto& section : sections_)
        if (section.header == header) return &section;
    return nullptr;
}

const KeyDef* KeyTable::FindKey(std::string_view key) const {
    for (const auto& section : sections_)
        for (const auto& def : section.keys)
            if (def.key == key) return &def;
    return nullptr;
}

}  // namespace scantora
