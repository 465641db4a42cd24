// The transfer dialog offscreen over real work areas: the lists and their buttons, the moves by
// button and double click, a send that runs beside a live window, and the automatic transfer.
#include "transfer/ui/transfer_dialog.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest/QTest>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>

#include "app/text_lookup.h"
#include "app/ui/qt_operator.h"
#include "operator/scripted_operator.h"
#include "tests/app/ui/ui_test_support.h"
#include "tests/support/scratch_dir.h"
#include "tests/transfer/naming_sides.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;
using testing::App;
using testing::KeepScreenshot;
using testing::ScratchDir;
using testing::WhenShown;
using testing::WriteFile;

// Year (4), box (5) and sheet (4); the lists show year and box.
JobRecord ArchiveJob(const fs::path& work, const fs::path& send) {
    JobRecord job;
    job.nlivelli = "3";
    job.viewnlivelli = "2";
    job.disco_scarico = work.string() + "/";
    job.invioa = send.string() + "/";
    job.levels[0] = {"Anno", "", "4", "$1#*%\\", "", "1", "", "0"};
    job.levels[1] = {"Scatola", "", "5", "$2#*%\\", "", "1", "", "0"};
    job.levels[2] = {"Foglio", "", "4", "$3#*%$F#*%.tif", "+", "1", "", "0"};
    return job;
}

// The page file scanning writes for a sheet, relative to the work area.
fs::path PageOf(const JobRecord& job, const std::string& year, const std::string& box, int sheet) {
    char code[12];
    std::snprintf(code, sizeof code, "%04d", sheet);
    const auto path = testing::ScanPath(job, {year, box, code}, false);
    EXPECT_TRUE(path);
    return fs::relative(path.value_or(""), job.disco_scarico);
}

void ScanPages(const JobRecord& job, const std::string& year, const std::string& box, int sheets) {
    for (int sheet = 1; sheet <= sheets; ++sheet) {
        const fs::path path = job.disco_scarico / PageOf(job, year, box, sheet);
        fs::create_directories(path.parent_path());
        WriteFile(path, "page " + path.string());
    }
}

// Double-clicks row `row` of `list`, pressing it first as a hand does.
void DoubleClick(QTreeWidget& list, int row) {
    const QPoint at = list.visualItemRect(list.topLevelItem(row)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
}

// The rows of a list as "cell|cell|count".
std::vector<std::string> Rows(const QTreeWidget& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        QStringList cells;
        for (int column = 0; column < list.columnCount(); ++column)
            cells << list.topLevelItem(i)->text(column);
        rows.push_back(cells.join('|').toStdString());
    }
    return rows;
}
using RowTexts = std::vector<std::string>;

// Stands in for the transfer run: moves the chosen documents' files to the same place under
// the destination root, stepping the bar per file and naming each document in the status field.
void MoveChosen(const JobRecord& job, TransferModel& model, TransferProgress& progress,
                Operator& op) {
    int pages = 0;
    for (const DocumentRow& row : model.chosen())
        pages += row.page_count;
    progress.SetRange(1, pages);
    progress.SetPosition(0);
    progress.ShowBar(true);
    const fs::path work = job.disco_scarico;
    for (const DocumentRow& row : model.chosen()) {
        const auto document = testing::Document(job, row.values, model.shown_levels());
        progress.SetStatus("Trasferimento File: " + row.values[0] + row.values[1] + " ");
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(work))
            if (entry.is_regular_file() &&
                IsDocumentPage(testing::WalkedPath(entry.path().string()), document,
                               model.patterns()))
                files.push_back(entry.path());
        for (const fs::path& file : files) {
            const fs::path target = fs::path(job.invioa) / fs::relative(file, work);
            fs::create_directories(target.parent_path());
            fs::rename(file, target);
            progress.Step();
        }
    }
    progress.ShowBar(false);
    progress.SetStatus("Trasferimento File");
    op.Inform("Invio Documenti Completato");
    model.Refresh();
}

class TransferDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        ScanPages(job_, "2024", "AX017", 3);
        ScanPages(job_, "2024", "AX018", 2);
        ScanPages(job_, "2023", "BY002", 1);
    }

    SendDocuments Stand_in() {
        return [this](TransferModel& model, TransferProgress& progress, Operator& op) {
            MoveChosen(job_, model, progress, op);
        };
    }

    ScratchDir dir_;
    JobRecord job_ = ArchiveJob(dir_ / "work", dir_ / "send");
    TextLookup texts_;
    ScriptedOperator op_;
};

TEST_F(TransferDialogTest, ListsShowTheDocumentsAndTheButtonsFollowTheirContents) {
    TransferModel model(job_, false);
    TransferDialog dialog(model, Stand_in(), op_, texts_);
    EXPECT_EQ(dialog.windowTitle(), "Trasferimento File");
    EXPECT_EQ(dialog.Status(), "Trasferimento File");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("status")->text(), "Trasferimento File");
    auto* found = dialog.found_list();
    auto* chosen = dialog.chosen_list();
    EXPECT_EQ(found->headerItem()->text(0), "Anno");
    EXPECT_EQ(found->headerItem()->text(2), "NUM.");
    EXPECT_EQ(chosen->columnCount(), 3);
    // Wider than its heading by a margin.
    EXPECT_GT(found->columnWidth(1), found->header()->fontMetrics().horizontalAdvance("Scatola"));
    EXPECT_EQ(Rows(*found), (RowTexts{"2023|BY002|1", "2024|AX017|3", "2024|AX018|2"}));
    EXPECT_TRUE(Rows(*chosen).empty());
    auto* down = dialog.findChild<QToolButton*>("move_down");
    auto* up = dialog.findChild<QToolButton*>("move_up");
    auto* send = dialog.findChild<QPushButton*>("send");
    EXPECT_FALSE(down->isHidden());
    EXPECT_TRUE(up->isHidden());
    EXPECT_TRUE(send->isHidden());
    EXPECT_TRUE(dialog.findChild<QProgressBar*>("progress")->isHidden());

    // A double click on a row of the upper list moves it down and shows the send button.
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    DoubleClick(*found, 1);
    EXPECT_EQ(Rows(*found), (RowTexts{"2023|BY002|1", "2024|AX018|2"}));
    EXPECT_EQ(Rows(*chosen), (RowTexts{"2024|AX017|3"}));
    EXPECT_FALSE(send->isHidden());
    EXPECT_EQ(send->text(), "Trasferimento File");
    EXPECT_FALSE(up->isHidden());
    KeepScreenshot(dialog, "transfer");

    // The selected rows go with the button; with nothing selected, every document goes.
    found->clearSelection();
    found->topLevelItem(1)->setSelected(true);
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(Rows(*chosen), (RowTexts{"2024|AX017|3", "2024|AX018|2"}));
    chosen->clearSelection();
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(Rows(*found), (RowTexts{"2023|BY002|1", "2024|AX017|3", "2024|AX018|2"}));
    EXPECT_TRUE(Rows(*chosen).empty());
    EXPECT_TRUE(send->isHidden());
    EXPECT_TRUE(up->isHidden());
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_TRUE(Rows(*found).empty());
    EXPECT_TRUE(down->isHidden());
    EXPECT_EQ(Rows(*chosen).size(), 3u);
    // A double click in the lower list moves the row back up.
    DoubleClick(*chosen, 0);
    EXPECT_EQ(Rows(*found), (RowTexts{"2023|BY002|1"}));

    // Cancel closes the dialog and moves nothing.
    QTest::mouseClick(dialog.findChild<QPushButton*>("cancel"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(fs::exists(dir_ / "send"));
}

TEST_F(TransferDialogTest, ADocumentOfAThousandPagesShowsItsFullCount) {
    ScanPages(job_, "2022", "CZ100", 1200);
    TransferModel model(job_, false);
    TransferDialog dialog(model, Stand_in(), op_, texts_);
    EXPECT_EQ(Rows(*dialog.found_list()).front(), "2022|CZ100|1200");
}

TEST_F(TransferDialogTest, SendRunsBesideALiveWindowAndRefillsTheLists) {
    std::promise<void> seen_live;
    std::atomic<bool> run_on_interface_thread = false;
    const SendDocuments watched = [&](TransferModel& model, TransferProgress& progress,
                                      Operator& op) {
        run_on_interface_thread = QThread::currentThread() == qApp->thread();
        progress.SetStatus("Calcolo Spazio Necessario per Trasferimento");
        // The run waits here until the window has answered: a frozen window never does.
        if (seen_live.get_future().wait_for(std::chrono::seconds(20)) !=
            std::future_status::ready) {
            ADD_FAILURE() << "the window did not run during the transfer";
        }
        MoveChosen(job_, model, progress, op);
    };
    // The operator at the window: the run's message opens on the window's thread.
    QtOperator window_op(texts_);
    QString message;
    TransferModel model(job_, false);
    TransferDialog dialog(model, watched, window_op, texts_);
    WhenShown<TransferDialog>([&](TransferDialog& shown) {
        WhenShown<QMessageBox>([&](QMessageBox& box) {
            message = box.text();
            box.accept();
        });
        shown.found_list()->topLevelItem(1)->setSelected(true);
        QTest::mouseClick(shown.findChild<QToolButton*>("move_down"), Qt::LeftButton);
        // Checked from a timer while the run waits: the event loop turns and the status shows.
        QTimer::singleShot(50, &shown, [&] {
            EXPECT_TRUE(shown.sending());
            EXPECT_EQ(shown.findChild<QLineEdit*>("status")->text(),
                      "Calcolo Spazio Necessario per Trasferimento");
            EXPECT_FALSE(shown.findChild<QPushButton*>("send")->isEnabled());
            EXPECT_TRUE(shown.findChild<QToolButton*>("move_down")->isHidden());
            // Neither Cancel, nor closing, nor a double click interrupts the run.
            shown.reject();
            shown.close();
            emit shown.chosen_list()->itemDoubleClicked(shown.chosen_list()->topLevelItem(0), 0);
            EXPECT_TRUE(shown.isVisible());
            EXPECT_EQ(Rows(*shown.chosen_list()), (RowTexts{"2024|AX017|3"}));
            KeepScreenshot(shown, "transfer_sending");
            seen_live.set_value();
        });
        QTest::mouseClick(shown.findChild<QPushButton*>("send"), Qt::LeftButton);
        EXPECT_FALSE(shown.sending());
        EXPECT_TRUE(shown.findChild<QProgressBar*>("progress")->isHidden());
        EXPECT_EQ(shown.findChild<QProgressBar*>("progress")->value(), 3);
        EXPECT_EQ(shown.findChild<QLineEdit*>("status")->text(), "Trasferimento File");
        EXPECT_EQ(Rows(*shown.found_list()), (RowTexts{"2023|BY002|1", "2024|AX018|2"}));
        EXPECT_TRUE(shown.findChild<QPushButton*>("send")->isHidden());
        shown.reject();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_FALSE(run_on_interface_thread);
    EXPECT_EQ(message, "Invio Documenti Completato");
    for (int sheet = 1; sheet <= 3; ++sheet) {
        const fs::path page = PageOf(job_, "2024", "AX017", sheet);
        EXPECT_TRUE(fs::exists(dir_ / "send" / page)) << page;
        EXPECT_FALSE(fs::exists(dir_ / "work" / page)) << page;
    }
    EXPECT_TRUE(fs::exists(dir_ / "work" / PageOf(job_, "2024", "AX018", 1)));
}

TEST_F(TransferDialogTest, AutomaticTransferSendsTheCurrentDocumentAndCloses) {
    TransferModel model(job_, true);
    TransferDialog dialog(model, Stand_in(), op_, texts_);
    LevelValues codes;
    codes[0] = "2024";
    codes[1] = "ax018";  // case is ignored
    dialog.ChooseForAutomaticTransfer(codes);
    EXPECT_EQ(Rows(*dialog.chosen_list()), (RowTexts{"2024|AX018|2"}));
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(fs::exists(dir_ / "send" / PageOf(job_, "2024", "AX018", 2)));
    EXPECT_TRUE(fs::exists(dir_ / "work" / PageOf(job_, "2024", "AX017", 1)));

    // Codes that name no document leave the dialog open for the operator.
    TransferModel none(job_, true);
    TransferDialog open(none, Stand_in(), op_, texts_);
    codes[1] = "ZZ999";
    open.ChooseForAutomaticTransfer(codes);
    WhenShown<TransferDialog>([](TransferDialog& shown) {
        EXPECT_TRUE(shown.findChild<QPushButton*>("send")->isHidden());
        shown.reject();
    });
    EXPECT_EQ(open.exec(), QDialog::Rejected);
}

}  // namespace
}  // namespace scantora
