// The whole program in one scripted run, offscreen: the demo job chosen in the job selection
// dialog, separation switched on in the setup sheet, the demo pages scanned from the folder
// feeder, "Fine Batch?" answered Yes, the documents sent in the transfer dialog, and the
// destination tree checked on disk.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest/QTest>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "acquisition/scanner/imaging_control.h"
#include "acquisition/ui/identification_panel.h"
#include "acquisition/ui/page_window_host.h"
#include "acquisition/ui/qt_text.h"
#include "app/startup.h"
#include "app/ui/choice_dialog.h"
#include "app/ui/job_selection_dialog.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_operator.h"
#include "app/ui/setup_sheet_dialog.h"
#include "app/ui/transfer_window.h"
#include "operator/scripted_operator.h"
#include "operator/text_ids.h"
#include "tests/app/ui/ui_test_support.h"
#include "tests/support/no_sane_devices.h"
#include "tests/support/scratch_dir.h"
#include "transfer/ui/reject_correction_dialog.h"
#include "transfer/ui/transfer_dialog.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;
using testing::KeepScreenshot;
using testing::ReadFile;
using testing::WaitFor;
using testing::WriteFile;

// Answers whatever the program asks while it runs: the job selection with the demo job, the
// setup sheet with separation switched on, the end-of-document choice with "End scanning", every
// yes/no question with Yes, every message with OK, and the transfer dialog by choosing every
// document, sending them and closing.
class Answers {
public:
    Answers() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
        timer_.start();
    }
    QStringList texts;
    int sends = 0;
    QString transfer_status;

private:
    void Answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (auto* selection = dynamic_cast<JobSelectionDialog*>(modal)) {
            auto* jobs = selection->findChild<QComboBox*>("jobs");
            jobs->setCurrentIndex(jobs->findText("-->  DEMO"));
            Click(selection->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
        } else if (auto* sheet = dynamic_cast<SetupSheetDialog*>(modal)) {
            sheet->findChild<QCheckBox*>("BARCODE=")->setChecked(true);
            Click(sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
        } else if (auto* choice = dynamic_cast<ChoiceDialog*>(modal)) {
            texts << choice->windowTitle();
            Click(choice->button(2));
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            texts << box->text();
            QAbstractButton* ok = box->button(QMessageBox::Ok);
            Click(ok ? ok : box->button(QMessageBox::Yes));
        } else if (auto* transfer = dynamic_cast<TransferDialog*>(modal)) {
            AnswerTransfer(*transfer);
        }
    }

    void AnswerTransfer(TransferDialog& dialog) {
        if (dialog.sending()) return;
        if (sends > 0) {
            transfer_status = dialog.findChild<QLineEdit*>("status")->text();
            dialog.reject();
        } else if (dialog.chosen_list()->topLevelItemCount() == 0) {
            // Nothing selected: every document goes down.
            Click(dialog.findChild<QToolButton*>("move_down"));
        } else {
            KeepScreenshot(dialog, "whole_program_transfer");
            ++sends;
            Click(dialog.findChild<QPushButton*>("send"));
        }
    }

    // Queued, so that a click that opens its own event loop leaves this timer running.
    static void Click(QAbstractButton* button) {
        ASSERT_TRUE(button);
        QTimer::singleShot(0, button, &QAbstractButton::click);
    }

    QTimer timer_;
};

TEST(WholeProgram, DemoJobScannedAndSentIntoTheDestinationTree) {
    testing::App();
    ASSERT_TRUE(InstallPageWindowHost());
    // Short: the job keeps its work area root in 49 characters.
    const fs::path run = fs::temp_directory_path() /
                         ("scantora-whole-" + std::to_string(QCoreApplication::applicationPid()));
    fs::remove_all(run);
    const std::string prepare = "'" TEST_SOURCE_DIR "/demo/prepare_run.sh' '" + run.string() + "'";
    ASSERT_EQ(std::system(prepare.c_str()), 0);
    // Separation starts switched off: the setup sheet switches it on. The box is typed in.
    const fs::path job_file = run / "setup" / "P_G32001";
    std::string job = ReadFile(job_file);
    job = std::regex_replace(job, std::regex("\nBARCODE=1"), "\nBARCODE=0");
    job = std::regex_replace(job, std::regex("LOCKUSER_0=1"), "LOCKUSER_0=0");
    WriteFile(job_file, job);
    qputenv("SCANTORA_BARLYNX", TEST_BINARY_DIR "/barcode_control/libbarlynx.so");

    Answers answers;
    StartupOptions options;
    options.program_path = TEST_BINARY_DIR "/app/scantora";
    options.setup_dir = run / "setup";
    AppState state;
    TextLookup texts;
    ScriptedOperator startup_op;
    ASSERT_EQ(StartUp(options, state, texts, startup_op), StartupResult::kOk);
    // The feeder folder is the only source.
    ImagingControlSetup sources;
    sources.sane = std::make_shared<testing::NoSaneDevices>();
    sources.feeder_folders = {run / "feeder"};
    const std::unique_ptr<ImagingControl> control = MakeImagingControl(sources);
    auto window = std::make_unique<MainWindow>(state, texts, *control);
    ASSERT_TRUE(window->Initialise());  // the job selection dialog picks DEMO
    EXPECT_EQ(state.utilita.job.applicazione, "DEMO");
    // As the program wires it: the operator at the window, the correction dialog as the hook.
    QtOperator window_op(texts, window.get());
    QtRejectCorrection correction(texts, window.get());
    window->SetTransferDialog([&] {
        return RunTransferWindow(state.utilita.job, texts, window_op, &correction, window.get());
    });
    window->resize(1280, 800);
    window->show();

    window->Run(MenuCommand::kJobSetup);
    EXPECT_NE(ReadFile(job_file).find("\nBARCODE=1"), std::string::npos);
    EXPECT_EQ(state.utilita.job.barcode, "1");

    QComboBox* box = window->panel()->entry(0);
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), "B1");
    emit box->lineEdit()->editingFinished();
    QComboBox* folder = window->panel()->entry(1);
    folder->lineEdit()->selectAll();
    QTest::keyClicks(folder->lineEdit(), "F1");
    emit folder->lineEdit()->editingFinished();

    // Each separator sheet ends a scan; the next start opens the next document. The batch's
    // end closes the window.
    const auto idle = [&] {
        return !window->isVisible() ||
               (!window->scanning() && window->panel()->start_button()->isEnabled());
    };
    for (int start = 0; start < 4 && window->isVisible(); ++start) {
        ASSERT_TRUE(WaitFor(idle, 120)) << start;
        QTest::mouseClick(window->panel()->start_button(), Qt::LeftButton);
        WaitFor([&] { return window->scanning() || !window->isVisible(); }, 10);
        ASSERT_TRUE(WaitFor(idle, 120)) << start;
    }
    ASSERT_TRUE(WaitFor([&] { return !window->isVisible(); }, 60))
        << answers.texts.join(" | ").toStdString();
    EXPECT_TRUE(answers.texts.contains(QtText(texts, text_id::kEndOfBatch)));
    EXPECT_EQ(answers.sends, 1);
    for (const QString& text : answers.texts)
        EXPECT_FALSE(text.startsWith("Error:")) << text.toStdString();

    // Every page fed, every document in the destination tree with its export and semaphore
    // files, one log line per document, nothing left in the work area.
    for (const auto& entry : fs::directory_iterator(run / "feeder"))
        EXPECT_TRUE(entry.is_directory()) << entry.path();
    std::vector<std::string> documents;
    std::vector<std::string> others;
    for (const auto& entry : fs::recursive_directory_iterator(run / "send")) {
        if (!entry.is_regular_file()) continue;
        const std::string name = fs::relative(entry.path(), run / "send");
        (entry.path().extension() == ".TIF" ? documents : others).push_back(name);
    }
    std::sort(others.begin(), others.end());
    // The two separator sheets split the feeder's pages into three documents, as in batch mode.
    std::sort(documents.begin(), documents.end());
    EXPECT_EQ(documents, (std::vector<std::string>{"B001/F00001/001.TIF", "B001/F00001/002.TIF",
                                                   "B001/F00001/003.TIF"}))
        << answers.texts.join(" | ").toStdString();
    EXPECT_EQ(others,
              (std::vector<std::string>{"B001/F00001/Barcode.txt", "B001/F00001/ready.sem"}));
    for (const auto& entry : fs::recursive_directory_iterator(run / "work"))
        EXPECT_FALSE(entry.is_regular_file()) << entry.path();
    const std::string log = ReadFile(run / "transfer.log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;
    window.reset();
    fs::remove_all(run);
}

}  // namespace
}  // namespace scantora
