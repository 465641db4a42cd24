#include "app/setup_sheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/barcode_types.h"
#include "app/job_setup.h"
#include "app/text_lookup.h"
#include "config/job_config_reader.h"
#include "config/job_config_writer.h"
#include "operator/scripted_operator.h"
#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

using testing::ReadFile;
using testing::ScratchDir;
using testing::WriteFile;

JobRecord DemoJob() {
    JobRecord job;
    job.applicazione = "DEMO";
    job.nlivelli = "3";
    job.multitiff = "Y";
    job.maxdoc_op = "+";
    job.trasferimento = "2";  // a transfer mode the box shows as checked
    job.semaforo_momentocreaz = "";
    job.showtwain = "2";
    job.barcodeval = "1";
    for (int n = 0; n < 3; ++n) {
        job.levels[n].descrizione = "Level" + std::to_string(n);
        job.levels[n].obbligatorio = n == 0 ? "Y" : "0";
        job.levels[n].opfinescandoc = n == 1 ? "+" : "";
    }
    job.separators[0] = {"2", "SEP-A", "-", "1"};
    return job;
}

// The field of `key` (a bit box: with its bit) on any page of `sheet`.
SheetField FindField(const SetupSheet& sheet, std::string_view key, int bit = 0) {
    for (const SheetPage& page : sheet.Pages())
        for (const SheetSection& section : page.sections)
            for (const auto& row : section.rows)
                for (const SheetField& field : row)
                    if (field.key == key && field.bit == bit) return field;
    ADD_FAILURE() << "no field " << key;
    return {};
}

std::vector<std::string> Titles(const SetupSheet& sheet) {
    std::vector<std::string> titles;
    for (const SheetPage& page : sheet.Pages())
        titles.push_back(page.title);
    return titles;
}

class SetupSheetTest : public ::testing::Test {
protected:
    KeyTable keys_ = KeyTable::Build();
    TextLookup texts_;
    ScriptedOperator op_;
};

TEST_F(SetupSheetTest, EveryKeyOfTheJobFileHasOneFieldExceptTheSourceName) {
    SetupSheet sheet(DemoJob(), keys_, texts_);
    std::vector<std::string> bound;
    for (const SheetPage& page : sheet.Pages())
        for (const SheetSection& section : page.sections)
            for (const auto& row : section.rows)
                for (const SheetField& field : row)
                    if (field.kind != FieldKind::kBit || field.bit == 1) bound.push_back(field.key);
    std::vector<std::string> expected;
    for (const KeySection& section : keys_.sections()) {
        const bool shown_level = section.header.starts_with("[LIVELLO ") && section.header[9] < '3';
        if (section.header.starts_with("[LIVELLO ") && !shown_level) continue;
        for (const KeyDef& key : section.keys)
            if (key.key != "TWAINSOURCE=") expected.push_back(key.key);
    }
    std::sort(bound.begin(), bound.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(bound, expected);
    EXPECT_EQ(Titles(sheet),
              (std::vector<std::string>{"Applicazione", "Livello 1", "Livello 2", "Livello 3",
                                        "Trasferimento", "BarCode Setup", "Varie"}));
    EXPECT_EQ(sheet.Caption(), "Settaggi Applicazioni");
}

TEST_F(SetupSheetTest, FillsFromTheRecordAndWritesBack) {
    SetupSheet sheet(DemoJob(), keys_, texts_);
    const SheetField multitiff = FindField(sheet, "MULTITIFF=");
    const SheetField mandatory0 = FindField(sheet, "OBBLIGATORIO_0=");
    const SheetField transfer = FindField(sheet, "TRASFERIMENTO=");
    const SheetField operation1 = FindField(sheet, "OPFINESCANDOC_1=");
    const SheetField operation2 = FindField(sheet, "OPFINESCANDOC_2=");
    const SheetField moment = FindField(sheet, "SEMAFORO_MOMENTOCREAZ=");
    const SheetField show = FindField(sheet, "SHOWTWAIN=");
    const SheetField maxdoc_op = FindField(sheet, "MAXDOC_OP=");
    EXPECT_TRUE(sheet.Checked(multitiff));
    EXPECT_TRUE(sheet.Checked(mandatory0));
    EXPECT_TRUE(sheet.Checked(transfer));
    EXPECT_EQ(sheet.Chosen(operation1), 0);  // "+"
    EXPECT_EQ(sheet.Chosen(operation2), 2);  // "Nessuna"
    EXPECT_EQ(sheet.Chosen(moment), 0);      // empty counts as 0: at the start
    EXPECT_EQ(sheet.Chosen(show), 1);
    EXPECT_EQ(sheet.Chosen(maxdoc_op), 0);

    // A box set to what it shows keeps the stored text (a transfer mode of 2 stays 2).
    sheet.SetChecked(transfer, true);
    sheet.SetChecked(multitiff, false);
    sheet.SetChecked(mandatory0, false);
    sheet.SetChecked(FindField(sheet, "LOCKUSER_2="), true);
    sheet.Choose(operation2, 1);
    sheet.Choose(moment, 1);
    sheet.Choose(show, 2);
    sheet.SetText(FindField(sheet, "INVIOA="), "/srv/out");
    ASSERT_TRUE(sheet.Accept(op_));

    const JobRecord& job = sheet.record();
    EXPECT_EQ(job.trasferimento, "2");
    EXPECT_EQ(job.multitiff, "N");
    EXPECT_EQ(job.levels[0].obbligatorio, "0");
    EXPECT_EQ(job.levels[2].lockuser, "1");
    EXPECT_EQ(job.levels[2].opfinescandoc, "-");
    EXPECT_EQ(job.semaforo_momentocreaz, "1");
    EXPECT_EQ(job.showtwain, "3");
    EXPECT_EQ(job.invioa, "/srv/out");
    // Through the file and back.
    std::istringstream file(ComposeJobFile(keys_, job, JobWriter::kMain));
    JobRecord read;
    ApplyJobLines(file, keys_, {}, read);
    EXPECT_EQ(read.multitiff, "N");
    EXPECT_EQ(read.levels[2].opfinescandoc, "-");
    EXPECT_EQ(read.invioa, "/srv/out");
    EXPECT_EQ(read.separators[0].val, "SEP-A");
}

TEST_F(SetupSheetTest, BarcodeTypesAreTheSumOfTheCheckedBits) {
    JobRecord job = DemoJob();
    job.barcodeval = "6144";  // 2048 names no type; 4096 neither
    SetupSheet sheet(job, keys_, texts_);
    EXPECT_FALSE(sheet.Checked(FindField(sheet, "BARCODEVAL=", 2048 / 2)));  // EAN-8: 1024
    sheet.SetChecked(FindField(sheet, "BARCODEVAL=", 1), true);              // "Code 3 of 9"
    sheet.SetChecked(FindField(sheet, "BARCODEVAL=", 32), true);             // "EAN-13"
    ASSERT_TRUE(sheet.Accept(op_));
    EXPECT_EQ(sheet.record().barcodeval, "33");
    EXPECT_EQ(FindField(sheet, "BARCODEVAL=", 32).label, "EAN-13");

    // Opened and confirmed without a change, unknown bits go too.
    SetupSheet untouched(job, keys_, texts_);
    ASSERT_TRUE(untouched.Accept(op_));
    EXPECT_EQ(untouched.record().barcodeval, "0");

    BarcodeTypes types("1");
    types.SetChecked(5, true);
    EXPECT_EQ(types.Value(), "33");
    types.SelectAll();
    EXPECT_EQ(types.mask(), 2047);
    types.SetChecked(0, false);
    EXPECT_EQ(types.mask(), 2046);
    types.DeselectAll();
    EXPECT_EQ(types.Value(), "0");
    const BarcodeTypesLabels labels = BarcodeTypesTexts(texts_);
    EXPECT_EQ(labels.caption, "Bar Code Recognition");
    EXPECT_EQ(labels.names[0], "Code 3 of 9");
    EXPECT_EQ(labels.names[10], "EAN-8");
}

TEST_F(SetupSheetTest, TheBarcodePageShowsTheAdaptiveSearchAsACheckBox) {
    SetupSheet sheet(DemoJob(), keys_, texts_);
    const SheetField adaptive = FindField(sheet, "ADAPTIVEBARCODE=");
    EXPECT_EQ(adaptive.kind, FieldKind::kCheck);
    EXPECT_EQ(adaptive.label, "Ricerca barcode adattiva");
}

TEST_F(SetupSheetTest, EditsKeepTheirWidthAndTheThresholdTakesDigitsOnly) {
    SetupSheet sheet(DemoJob(), keys_, texts_);
    const SheetField threshold = FindField(sheet, "THRESHOLDBARCODE=");
    EXPECT_EQ(threshold.kind, FieldKind::kDigits);
    EXPECT_EQ(threshold.hint, "1- 255 (default=128)");
    EXPECT_EQ(threshold.label, "LivelloThreshold");
    sheet.SetText(threshold, "1x2-3");
    EXPECT_EQ(sheet.Text(threshold), "123");
    sheet.SetText(threshold, "98765");
    EXPECT_EQ(sheet.Text(threshold), "987");
    const SheetField front = FindField(sheet, "NOMEFRONTE=");
    sheet.SetText(front, "fronte");
    EXPECT_EQ(sheet.Text(front), "fron");
    const SheetField name = FindField(sheet, "APPLICAZIONE=");
    sheet.SetText(name, "Citt\xC3\xA0 " + std::string(80, 'x'));
    EXPECT_EQ(sheet.Text(name), "Citt\xC3\xA0 " + std::string(63, 'x'));  // 69 characters
}

TEST_F(SetupSheetTest, LevelPagesFollowTheLevelCountAndKeepDroppedValuesUntilOk) {
    ScratchDir dir;
    SetupSheet sheet(DemoJob(), keys_, texts_);
    const SheetField levels = FindField(sheet, "NLIVELLI=");
    EXPECT_EQ(levels.max_chars, 1u);
    EXPECT_FALSE(sheet.SetText(levels, "3"));
    EXPECT_TRUE(sheet.SetText(levels, "2"));
    EXPECT_EQ(sheet.LevelPageCount(), 2);
    EXPECT_EQ(Titles(sheet).size(), 6u);
    EXPECT_TRUE(sheet.SetText(levels, "3"));
    EXPECT_EQ(sheet.record().levels[2].descrizione, "Level2");  // nothing lost on the way
    EXPECT_TRUE(sheet.SetText(levels, "2"));
    ASSERT_TRUE(sheet.Accept(op_));
    // The file holds the levels the count names; the third comes back empty.
    std::istringstream file(ComposeJobFile(keys_, sheet.record(), JobWriter::kMain));
    JobRecord read;
    ApplyJobLines(file, keys_, {}, read);
    EXPECT_EQ(read.levels[1].descrizione, "Level1");
    EXPECT_EQ(read.levels[2].descrizione, "");

    // A level count outside 1 to 9, or a job without a name, keeps the sheet open.
    EXPECT_TRUE(sheet.SetText(levels, ""));
    EXPECT_EQ(sheet.LevelPageCount(), 0);
    EXPECT_FALSE(sheet.Accept(op_));
    EXPECT_EQ(sheet.invalid_key(), "NLIVELLI=");
    sheet.SetText(levels, "9");
    sheet.SetText(FindField(sheet, "APPLICAZIONE="), "  ");
    EXPECT_FALSE(sheet.Accept(op_));
    EXPECT_EQ(sheet.invalid_key(), "APPLICAZIONE=");
    EXPECT_EQ(op_.Count(OperatorEvent::Kind::kBeep), 2);
}

TEST_F(SetupSheetTest, SeparatorRowsOfferTheJobsLevels) {
    JobRecord job = DemoJob();
    job.separators[1].liv = "7";  // beyond the job's levels: still shown, not lost
    SetupSheet sheet(job, keys_, texts_);
    const SheetField first = FindField(sheet, "SEP01_LIV=");
    const SheetField second = FindField(sheet, "SEP02_LIV=");
    const SheetField third = FindField(sheet, "SEP03_LIV=");
    const std::vector<FieldOption> options = sheet.LevelOptions(first);
    ASSERT_EQ(options.size(), 4u);
    EXPECT_EQ(options[0].label, "Nessuna");
    EXPECT_EQ(options[2].label, "2 - Level1");
    EXPECT_EQ(sheet.Chosen(first), 2);
    EXPECT_EQ(sheet.Chosen(third), 0);
    EXPECT_EQ(sheet.LevelOptions(second).back().label, "7");
    EXPECT_EQ(sheet.Chosen(second), 4);
    EXPECT_EQ(sheet.Chosen(FindField(sheet, "SEP01_OP=")), 1);
    EXPECT_TRUE(sheet.Checked(FindField(sheet, "SEP01_SAVEIMG=")));
    sheet.Choose(third, 3);
    sheet.SetText(FindField(sheet, "SEP03_VAL="), "END");
    sheet.Choose(FindField(sheet, "SEP03_OP="), 0);
    sheet.SetChecked(FindField(sheet, "SEP03_SAVEIMG="), true);
    sheet.Choose(first, 0);
    EXPECT_EQ(sheet.record().separators[2].liv, "3");
    EXPECT_EQ(sheet.record().separators[2].op, "+");
    EXPECT_EQ(sheet.record().separators[2].saveimg, "1");
    EXPECT_EQ(sheet.record().separators[0].liv, "0");
}

TEST_F(SetupSheetTest, LabelsComeFromTheTextLookup) {
    texts_.table().Add(61478, "Descrizione del livello");
    texts_.table().Add(61456, "Piano");
    texts_.table().Sort();
    SetupSheet sheet(DemoJob(), keys_, texts_);
    EXPECT_EQ(FindField(sheet, "DESCRIZIONE_1=").label, "Descrizione del livello");
    EXPECT_EQ(Titles(sheet)[2], "Piano 2");
    TextLookup english(BuiltinLanguage::kEnglish);
    SetupSheet tabbed(DemoJob(), keys_, english, SetupForm::kTabbed);
    EXPECT_EQ(FindField(tabbed, "NLIVELLI=").label, "Num Levels (1-9)");
    EXPECT_EQ(tabbed.Caption(), "Settaggi Applicazione");
    // The tabbed form keeps the types in the "Bar Code Recognition" dialog.
    EXPECT_EQ(FindField(tabbed, "BARCODEVAL=").kind, FieldKind::kBarcodeTypes);
}

class JobSetupTest : public SetupSheetTest {
protected:
    void SetUp() override {
        setenv("TEMP", dir_.path().c_str(), 1);
        state_.setup_dir = dir_.path();
        state_.job_file_path = "C:\\old\\P_G32001";
        state_.utilita.job = DemoJob();
        WriteFile(dir_ / "P_G32001", ComposeJobFile(keys_, DemoJob(), JobWriter::kMain));
    }
    void TearDown() override { unsetenv("TEMP"); }
    ScratchDir dir_;
    AppState state_;
};

TEST_F(JobSetupTest, PropertySheetWritesWithTheMainWriterAndReloads) {
    SetupSheet sheet = OpenJobSetup(state_, texts_, SetupForm::kPropertySheet);
    sheet.SetText(FindField(sheet, "APPLICAZIONE="), "RENAMED");
    sheet.SetChecked(FindField(sheet, "MULTITIFF="), false);
    ASSERT_TRUE(sheet.Accept(op_));
    ASSERT_TRUE(SaveJobSetup(state_, sheet, op_, texts_));
    EXPECT_EQ(state_.utilita.job.applicazione, "RENAMED");
    const std::string file = ReadFile(dir_ / "P_G32001");
    EXPECT_NE(file.find("APPLICAZIONE=RENAMED\n"), std::string::npos);
    EXPECT_NE(file.find("OBBLIGATORIO_0=1\n"), std::string::npos);
    EXPECT_NE(file.find("MULTITIFF=N\n"), std::string::npos);
    EXPECT_EQ(op_.Messages(), (std::vector<std::string>{"Restart Scantora"}));
}

TEST_F(JobSetupTest, TabbedFormWritesWithTheSecondWriterAndAsksForARestart) {
    SetupSheet sheet = OpenJobSetup(state_, texts_, SetupForm::kTabbed);
    sheet.SetText(FindField(sheet, "APPLICAZIONE="), "LATER");
    ASSERT_TRUE(sheet.Accept(op_));
    ASSERT_TRUE(SaveJobSetup(state_, sheet, op_, texts_));
    EXPECT_EQ(state_.utilita.job.applicazione, "DEMO");  // in effect after the restart
    const std::string file = ReadFile(dir_ / "P_G32001");
    EXPECT_NE(file.find("APPLICAZIONE=LATER\n"), std::string::npos);
    EXPECT_NE(file.find("OBBLIGATORIO_0=Y\n"), std::string::npos);
    EXPECT_NE(file.find("SEP01_VAL=SEP-A\n"), std::string::npos);
    EXPECT_EQ(
        op_.Messages(),
        (std::vector<std::string>{"Riavviare l'applicazione per rendere attive le modifiche"}));
}

}  // namespace
}  // namespace scantora
