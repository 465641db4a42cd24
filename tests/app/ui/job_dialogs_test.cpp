// The job selection dialog, the setup sheet in both forms, the "Bar Code Recognition" dialog
// and the language box, driven offscreen; the files on disk checked afterwards.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest/QTest>

#include "app/job_setup.h"
#include "app/ui/about_box.h"
#include "app/ui/barcode_types_dialog.h"
#include "app/ui/job_selection_dialog.h"
#include "app/ui/setup_sheet_dialog.h"
#include "config/job_config_writer.h"
#include "operator/scripted_operator.h"
#include "tests/app/ui/ui_test_support.h"
#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

using testing::App;
using testing::KeepScreenshot;
using testing::Press;
using testing::ReadFile;
using testing::ScratchDir;
using testing::WhenShown;
using testing::WriteFile;

template <typename Widget>
Widget* Child(QWidget& parent, const QString& name) {
    auto* child = parent.findChild<Widget*>(name);
    EXPECT_TRUE(child) << name.toStdString();
    return child;
}

// Replaces the edit's text as typing would.
void Type(QWidget& parent, const QString& key, const QString& text) {
    auto* edit = Child<QLineEdit>(parent, key);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

class JobDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        setenv("TEMP", dir_.path().c_str(), 1);
        JobRecord job;
        job.applicazione = "JOB1";
        job.nlivelli = "2";
        job.multitiff = "Y";
        job.levels[0].descrizione = "Box";
        job.barcodeval = "1";
        WriteFile(dir_ / "P_G32001", ComposeJobFile(keys_, job, JobWriter::kMain));
        WriteFile(dir_ / "Scantora.ini",
                  "NOME=JOB1\nFILEINI=P_G32001\nNOME=JOB2\nFILEINI=P_G32002\n");
        state_.setup_dir = dir_.path();
        state_.job_file_path = "P_G32001";
        state_.utilita.job = job;
    }
    void TearDown() override { unsetenv("TEMP"); }

    ScratchDir dir_;
    KeyTable keys_ = KeyTable::Build();
    TextLookup texts_;
    ScriptedOperator op_;
    AppState state_;
};

TEST_F(JobDialogs, SelectionTakesOnlyAWholeEntry) {
    JobSelection selection(dir_.path());
    JobSelectionDialog dialog(selection, keys_, op_, texts_);
    EXPECT_EQ(dialog.windowTitle(), "Scantora  - Selezione Applicazione");
    auto* jobs = Child<QComboBox>(dialog, "jobs");
    EXPECT_EQ(jobs->currentText(), "-->  JOB1");
    WhenShown<JobSelectionDialog>([&](JobSelectionDialog& shown) {
        KeepScreenshot(shown, "job_selection");
        jobs->setEditText("-->  JOB");
        Press(shown, QDialogButtonBox::Ok);
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(op_.Count(OperatorEvent::Kind::kBeep), 1);
        jobs->setCurrentIndex(1);
        Press(shown, QDialogButtonBox::Ok);
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.job_file_path(), "P_G32002");
}

TEST_F(JobDialogs, NewJobOpensTheSheetAndRegistersTheJobOnOk) {
    const std::string registry = ReadFile(dir_ / "Scantora.ini");
    std::string path = "before";
    // First the sheet is cancelled: nothing is written.
    WhenShown<JobSelectionDialog>([&](JobSelectionDialog& selection) {
        WhenShown<SetupSheetDialog>([](SetupSheetDialog& sheet) {
            Type(sheet, "APPLICAZIONE=", "NEWJOB");
            Press(sheet, QDialogButtonBox::Cancel);
        });
        QTest::mouseClick(Child<QPushButton>(selection, "new_job"), Qt::LeftButton);
        EXPECT_EQ(ReadFile(dir_ / "Scantora.ini"), registry);
        EXPECT_FALSE(std::filesystem::exists(dir_ / "P_G32003"));

        WhenShown<SetupSheetDialog>([](SetupSheetDialog& sheet) {
            EXPECT_EQ(sheet.windowTitle(), "Settaggi Applicazioni");
            EXPECT_EQ(sheet.tabs()->count(), 4);  // no levels yet
            Type(sheet, "APPLICAZIONE=", "NEWJOB");
            Type(sheet, "NLIVELLI=", "x2");  // digits only
            EXPECT_EQ(Child<QLineEdit>(sheet, "NLIVELLI=")->text(), "2");
            EXPECT_EQ(sheet.tabs()->count(), 6);
            EXPECT_EQ(sheet.tabs()->tabText(2), "Livello 2");
            Child<QCheckBox>(sheet, "MULTITIFF=")->setChecked(true);
            KeepScreenshot(sheet, "setup_sheet_new_job");
            Press(sheet, QDialogButtonBox::Ok);
        });
        QTest::mouseClick(Child<QPushButton>(selection, "new_job"), Qt::LeftButton);
        EXPECT_EQ(Child<QComboBox>(selection, "jobs")->currentText(), "-->  NEWJOB");
        Press(selection, QDialogButtonBox::Ok);
    });
    ASSERT_TRUE(RunJobSelection(dir_.path(), keys_, path, op_, texts_));
    EXPECT_EQ(path, (dir_ / "P_G32003").string());
    EXPECT_EQ(ReadFile(dir_ / "Scantora.ini"), registry + "NOME=NEWJOB\nFILEINI=" + path + "\n");
    const std::string file = ReadFile(dir_ / "P_G32003");
    EXPECT_NE(
        file.find("APPLICAZIONE=NEWJOB\nINISAVEPARAM=\nINISETSCAN=\nNLIVELLI=2\nMULTITIFF=Y\n"),
        std::string::npos);
}

TEST_F(JobDialogs, SheetOkWritesAndReloadsCancelChangesNothing) {
    const std::string before = ReadFile(dir_ / "P_G32001");
    SetupSheet cancelled = OpenJobSetup(state_, texts_, SetupForm::kPropertySheet);
    WhenShown<SetupSheetDialog>([](SetupSheetDialog& sheet) {
        Type(sheet, "APPLICAZIONE=", "CHANGED");
        Press(sheet, QDialogButtonBox::Cancel);
    });
    EXPECT_FALSE(RunSetupSheet(cancelled, op_, texts_));
    EXPECT_EQ(ReadFile(dir_ / "P_G32001"), before);

    SetupSheet sheet = OpenJobSetup(state_, texts_, SetupForm::kPropertySheet);
    WhenShown<SetupSheetDialog>([&](SetupSheetDialog& shown) {
        Type(shown, "NLIVELLI=", "");
        Press(shown, QDialogButtonBox::Ok);  // refused: no levels
        EXPECT_TRUE(shown.isVisible());
        Type(shown, "NLIVELLI=", "3");
        EXPECT_EQ(shown.tabs()->count(), 7);
        shown.tabs()->setCurrentIndex(5);  // "BarCode Setup"
        Child<QCheckBox>(shown, "BARCODE=")->setChecked(true);
        Child<QCheckBox>(shown, "BARCODEVAL=32")->setChecked(true);
        Type(shown, "THRESHOLDBARCODE=", "1a40");
        auto* level = Child<QComboBox>(shown, "SEP01_LIV=");
        EXPECT_EQ(level->count(), 4);
        EXPECT_EQ(level->itemText(1), "1 - Box");
        level->setCurrentIndex(3);
        emit level->activated(3);
        Type(shown, "SEP01_VAL=", "NEXT");
        QTest::mouseClick(Child<QRadioButton>(shown, "SEP01_OP=1"), Qt::LeftButton);
        KeepScreenshot(shown, "setup_sheet_barcode");
        Press(shown, QDialogButtonBox::Ok);
    });
    ASSERT_TRUE(RunSetupSheet(sheet, op_, texts_));
    EXPECT_EQ(op_.Count(OperatorEvent::Kind::kBeep), 1);
    ASSERT_TRUE(SaveJobSetup(state_, sheet, op_, texts_));
    EXPECT_EQ(state_.utilita.job.separators[0].val, "NEXT");
    const std::string file = ReadFile(dir_ / "P_G32001");
    for (const char* line : {"NLIVELLI=3\n", "BARCODE=1\n", "BARCODEVAL=33\n",
                             "THRESHOLDBARCODE=140\n", "SEP01_LIV=3\nSEP01_VAL=NEXT\nSEP01_OP=-\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line;
}

TEST_F(JobDialogs, TabbedFormTakesTheTypesFromTheBarCodeRecognitionDialog) {
    SetupSheet sheet = OpenJobSetup(state_, texts_, SetupForm::kTabbed);
    WhenShown<SetupSheetDialog>([](SetupSheetDialog& shown) {
        EXPECT_EQ(shown.windowTitle(), "Settaggi Applicazione");
        WhenShown<BarcodeTypesDialog>([](BarcodeTypesDialog& types) {
            EXPECT_EQ(types.windowTitle(), "Bar Code Recognition");
            EXPECT_TRUE(Child<QCheckBox>(types, "1")->isChecked());
            QTest::mouseClick(Child<QPushButton>(types, "select_all"), Qt::LeftButton);
            EXPECT_TRUE(Child<QCheckBox>(types, "1024")->isChecked());
            KeepScreenshot(types, "barcode_recognition");
            QTest::mouseClick(Child<QPushButton>(types, "deselect_all"), Qt::LeftButton);
            Child<QCheckBox>(types, "1")->setChecked(true);
            Child<QCheckBox>(types, "32")->setChecked(true);
            Press(types, QDialogButtonBox::Ok);
        });
        QTest::mouseClick(Child<QPushButton>(shown, "BARCODEVAL="), Qt::LeftButton);
        KeepScreenshot(shown, "setup_tabbed");
        Press(shown, QDialogButtonBox::Ok);
    });
    ASSERT_TRUE(RunSetupSheet(sheet, op_, texts_));
    ASSERT_TRUE(SaveJobSetup(state_, sheet, op_, texts_));
    const std::string file = ReadFile(dir_ / "P_G32001");
    EXPECT_NE(file.find("BARCODEVAL=33\n"), std::string::npos);
    EXPECT_NE(file.find("OBBLIGATORIO_0=N\n"), std::string::npos);  // the second writer's form
    EXPECT_EQ(op_.Messages().back(), "Riavviare l'applicazione per rendere attive le modifiche");
}

TEST_F(JobDialogs, EveryWayOutByCancelLeavesTheFilesAsTheyWere) {
    WriteFile(dir_ / "Scantora_eng.lang", "");
    const std::string registry = ReadFile(dir_ / "Scantora.ini");
    const std::string job = ReadFile(dir_ / "P_G32001");

    std::string path = "as it came";
    WhenShown<JobSelectionDialog>([](JobSelectionDialog& shown) {
        Child<QComboBox>(shown, "jobs")->setCurrentIndex(1);
        Press(shown, QDialogButtonBox::Cancel);
    });
    EXPECT_FALSE(RunJobSelection(dir_.path(), keys_, path, op_, texts_));
    EXPECT_EQ(path, "as it came");

    // The types dialog cancelled inside the tabbed form, then the form itself.
    SetupSheet sheet = OpenJobSetup(state_, texts_, SetupForm::kTabbed);
    WhenShown<SetupSheetDialog>([](SetupSheetDialog& shown) {
        WhenShown<BarcodeTypesDialog>([](BarcodeTypesDialog& types) {
            QTest::mouseClick(Child<QPushButton>(types, "select_all"), Qt::LeftButton);
            Press(types, QDialogButtonBox::Cancel);
        });
        QTest::mouseClick(Child<QPushButton>(shown, "BARCODEVAL="), Qt::LeftButton);
        Press(shown, QDialogButtonBox::Cancel);
    });
    EXPECT_FALSE(RunSetupSheet(sheet, op_, texts_));
    EXPECT_EQ(sheet.record().barcodeval, "1");

    AboutBox box(texts_, "JOB1");
    box.AddLanguageBox(dir_.path(), "", op_);
    WhenShown<AboutBox>([](AboutBox& shown) {
        Child<QComboBox>(shown, "languages")->setCurrentText("Scantora_eng.lang");
        shown.reject();
    });
    box.exec();
    EXPECT_EQ(ReadFile(dir_ / "Scantora.ini"), registry);
    EXPECT_EQ(ReadFile(dir_ / "P_G32001"), job);
    EXPECT_TRUE(op_.Messages().empty());
}

TEST_F(JobDialogs, LanguageBoxSavesTheChoiceOnOk) {
    WriteFile(dir_ / "Scantora_eng.lang", "");
    WriteFile(dir_ / "Scantora_ger.lang", "");
    AboutBox box(texts_, "JOB1");
    box.AddLanguageBox(dir_.path(), "Scantora_eng.lang", op_);
    auto* languages = Child<QComboBox>(box, "languages");
    EXPECT_EQ(languages->currentText(), "Scantora_eng.lang");
    EXPECT_EQ(languages->count(), 3);  // the two files and the default
    WhenShown<AboutBox>([&](AboutBox& shown) {
        languages->setCurrentText("Scantora_ger.lang");
        KeepScreenshot(shown, "language_box");
        shown.accept();
    });
    box.exec();
    EXPECT_NE(ReadFile(dir_ / "Scantora.ini").find("LINGUAGGIO=Scantora_ger.lang\n"),
              std::string::npos);
    EXPECT_EQ(op_.Messages(), (std::vector<std::string>{"Riavviare l'applicazione"}));
}

}  // namespace
}  // namespace scantora
