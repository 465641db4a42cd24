// The main window over the demo job, offscreen and under Xvfb: caption, translated menus, the
// scanner menu's marks and settings file, codes typed into the panel, the viewer's pages and
// zooms, scanning from SANE's test device into the batch list, delete and stop. Screenshots of
// the window at three sizes go to test_output/main_window/ of the build folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <fstream>
#include <regex>
#include <sstream>

#include "acquisition/scanner/imaging_control.h"
#include "acquisition/ui/identification_panel.h"
#include "acquisition/ui/page_view.h"
#include "acquisition/ui/page_window_host.h"
#include "acquisition/ui/page_window_widget.h"
#include "app/startup.h"
#include "app/ui/choice_dialog.h"
#include "app/ui/main_window.h"
#include "operator/scripted_operator.h"
#include "operator/text_ids.h"
#include "tests/app/ui/ui_test_support.h"
#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::WaitFor;
using testing::WriteFile;

QApplication& App() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "scantora_main_window_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's test input device must not outlive the application at exit.
    static QApplication* app = new QApplication(argc, argv);
    static const bool installed = InstallPageWindowHost();
    EXPECT_TRUE(installed);
    return *app;
}

void Settle(int rounds = 5) {
    for (int i = 0; i < rounds; ++i) {
        QApplication::processEvents();
        QTest::qWait(10);
    }
}

// Answers the next message box that opens with `button`, keeping its text.
void AnswerMessageBox(QMessageBox::StandardButton button, QString* text = nullptr,
                      int tries_left = 500) {
    QTimer::singleShot(10, [=] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (text) *text = box->text();
            box->button(button)->click();
        } else if (tries_left > 0) {
            AnswerMessageBox(button, text, tries_left - 1);
        } else {
            ADD_FAILURE() << "no message box";
        }
    });
}

// Dark pixels in an image: a painted page shows its black marks.
int DarkPixels(const QImage& image) {
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
    return dark;
}

// Pixels that are neither white nor the window's grey: a page's own content.
int WhitePixels(const QImage& image) {
    int white = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            white += qGray(image.pixel(x, y)) > 240 ? 1 : 0;
    return white;
}

void KeepScreenshot(const QImage& shot, const QString& name) {
    const QString folder = QStringLiteral(TEST_BINARY_DIR "/test_output/main_window");
    QDir().mkpath(folder);
    EXPECT_TRUE(shot.save(folder + "/" + name + "_" + QApplication::platformName() + ".png"));
}

// Answers every modal dialog while it lives: the three-way choice by the next button of its
// script (the last one again when the script runs out), a yes/no question by `yes`, a message
// with OK, any other dialog by accepting it. Keeps the texts it answered.
class Responder {
public:
    explicit Responder(std::vector<int> choices) : choices_(std::move(choices)) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
        timer_.start();
    }
    std::function<bool(const QString& question)> yes = [](const QString&) { return false; };
    // Runs once before the next choice is answered.
    std::function<void()> before_choice;
    QStringList texts;
    int choices_made = 0;

private:
    void Answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (auto* choice = dynamic_cast<ChoiceDialog*>(modal)) {
            if (before_choice) std::exchange(before_choice, nullptr)();
            const std::size_t at = std::min<std::size_t>(choices_made, choices_.size() - 1);
            ++choices_made;
            choice->button(choices_[at])->click();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            texts << box->text();
            if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->button(yes(box->text()) ? QMessageBox::Yes : QMessageBox::No)->click();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->accept();
        }
    }

    std::vector<int> choices_;
    QTimer timer_;
};

// The demo setup copied with its work area moved into the test's folder, every level open to
// typing and the SANE test device as the job's scanner.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        // A folder of this process's own, since the tests also run under Xvfb at the same time;
        // short, as the job keeps its work area root in 49 characters.
        root_ = fs::temp_directory_path() /
                ("scantora-window-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
                 std::to_string(++test_count_));
        fs::remove_all(root_);
        fs::create_directories(root_);
        setup_ = root_ / "setup";
        work_ = root_ / "work";
        fs::copy(fs::path(TEST_SOURCE_DIR) / "demo" / "setup", setup_, fs::copy_options::recursive);
        std::string job = ReadFile(setup_ / "P_G32001");
        job = std::regex_replace(job, std::regex("DISCO_SCARICO=[^\n]*"),
                                 "DISCO_SCARICO=" + work_.string() + "/");
        job = std::regex_replace(job, std::regex("LOCKUSER_0=1"), "LOCKUSER_0=0");
        job += "\n[VARIE]\nTWAINSOURCE=Noname frontend-tester [test:0]\n";
        WriteFile(setup_ / "P_G32001", job);
        // Separator sheets are looked for with the reader component of this build.
        qputenv("SCANTORA_BARLYNX", TEST_BINARY_DIR "/barcode_control/libbarlynx.so");
    }

    void UseScannerSettings(const std::string& options) {
        WriteFile(setup_ / "demo.twn", "TIPO=0\nRISOLUZIONE=200\n" + options);
    }

    void TearDown() override {
        if (window_) window_->Exit(false);
        Settle();
        window_.reset();
        fs::remove_all(root_);
    }

    MainWindow& Open() {
        StartupOptions options;
        options.program_path = TEST_BINARY_DIR "/app/scantora";
        options.setup_dir = setup_;
        options.command_line = "APP=DEMO";
        EXPECT_EQ(StartUp(options, state_, texts_, startup_op_), StartupResult::kOk);
        control_ = MakeImagingControl();
        window_ = std::make_unique<MainWindow>(state_, texts_, *control_);
        EXPECT_TRUE(window_->Initialise());
        window_->resize(1280, 800);
        window_->show();
        Settle();
        return *window_;
    }

    void TypeCode(std::size_t level, const QString& code) {
        QComboBox* entry = window_->panel()->entry(level);
        entry->lineEdit()->selectAll();
        QTest::keyClicks(entry->lineEdit(), code);
        emit entry->lineEdit()->editingFinished();
    }

    fs::path Fixture(const char* name) const {
        return fs::path(TEST_FIXTURE_DIR) / "scanner_pages" / name;
    }

    // The fixture's page of text lines as a Group 4 TIFF, as a scan would leave it.
    fs::path TextPage() const {
        Page page;
        EXPECT_EQ(LoadPage(Fixture("text.pbm"), 1, 0, page), ImagingStatus::kOk);
        const fs::path file = root_ / "text.tif";
        EXPECT_EQ(page.Save(file, kFormatTiff, 1, kTiffQuality, kSaveNew), ImagingStatus::kOk);
        return file;
    }

    static inline int test_count_ = 0;
    fs::path root_;
    fs::path setup_;
    fs::path work_;
    TextLookup texts_;
    AppState state_;
    ScriptedOperator startup_op_;
    std::unique_ptr<ImagingControl> control_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowTest, StartsOnTheJobWithItsCaptionMenusMarksAndPanel) {
    UseScannerSettings("DUPLEX=1\nDESKEW=1\nINVERT=0\nGRADI=0\n");
    MainWindow& window = Open();
    EXPECT_EQ(window.windowTitle(), "Scantora [DEMO]");
    // The menu bar comes from the language file, in its fixed order.
    QStringList menus;
    for (QAction* menu : window.menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&Job", "&View", "&Scanner", "?"}));
    EXPECT_EQ(window.action(MenuCommand::kZoom200)->text(), "Zoom 200%");

    // The scanner settings: DUPLEX=1, DESKEW=1, INVERT=0, GRADI=0.
    EXPECT_TRUE(window.action(MenuCommand::kFrontBack)->isChecked());
    EXPECT_TRUE(window.action(MenuCommand::kDeskew)->isChecked());
    EXPECT_FALSE(window.action(MenuCommand::kNegative)->isChecked());
    EXPECT_TRUE(window.action(MenuCommand::kRotate0)->isChecked());

    IdentificationPanel* panel = window.panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->windowTitle(), "ID. Doc. - DEMO -");
    EXPECT_TRUE(panel->start_button()->isEnabled());
    EXPECT_FALSE(panel->stop_button()->isEnabled());
    // Multi-page documents: the page tools are there.
    EXPECT_TRUE(window.tool(text_id::kNextPage)->isEnabled());
    EXPECT_EQ(control_->SelectedSource(), "Noname frontend-tester [test:0]");
}

TEST_F(MainWindowTest, OneFilePerPageGreysThePageTools) {
    std::string job = ReadFile(setup_ / "P_G32001");
    job = std::regex_replace(job, std::regex("MULTITIFF=Y"), "MULTITIFF=N");
    WriteFile(setup_ / "P_G32001", job);
    MainWindow& window = Open();
    for (const int id :
         {text_id::kFirstPage, text_id::kPreviousPage, text_id::kNextPage, text_id::kLastPage})
        EXPECT_FALSE(window.tool(id)->isEnabled()) << id;
    EXPECT_TRUE(window.tool(text_id::kZoomIn)->isEnabled());
}

TEST_F(MainWindowTest, ScannerMenuCommandsWriteTheScannerSettings) {
    UseScannerSettings("DESKEW=1\n");
    MainWindow& window = Open();
    const fs::path settings = setup_ / "demo.twn";
    window.action(MenuCommand::kRotate180)->trigger();
    EXPECT_TRUE(window.action(MenuCommand::kRotate180)->isChecked());
    EXPECT_FALSE(window.action(MenuCommand::kRotate0)->isChecked());
    EXPECT_NE(ReadFile(settings).find("GRADI=180\n"), std::string::npos);

    window.action(MenuCommand::kNegative)->trigger();
    window.action(MenuCommand::kDeskew)->trigger();
    EXPECT_TRUE(window.action(MenuCommand::kNegative)->isChecked());
    EXPECT_FALSE(window.action(MenuCommand::kDeskew)->isChecked());
    const std::string written = ReadFile(settings);
    EXPECT_NE(written.find("INVERT=1\n"), std::string::npos);
    EXPECT_NE(written.find("DESKEW=0\n"), std::string::npos);
    EXPECT_EQ(state_.scanner.gradi, 180);
}

TEST_F(MainWindowTest, TypedCodesAreCheckedAndPaddedIntoTheDisplays) {
    MainWindow& window = Open();
    TypeCode(0, "B7");
    TypeCode(1, "  F12 ");
    EXPECT_EQ(window.panel()->display(0)->text(), "B007");
    EXPECT_EQ(window.panel()->display(1)->text(), "F00012");
    EXPECT_EQ(window.identification()->level(1).display, "F00012");
}

TEST_F(MainWindowTest, NextDocumentStepsTheDocumentLevelsCode) {
    MainWindow& window = Open();
    TypeCode(0, "B4");
    TypeCode(1, "F4");
    TypeCode(2, "7");
    ASSERT_EQ(window.panel()->display(2)->text(), "007");
    QTest::mouseClick(window.panel()->next_button(), Qt::LeftButton);
    EXPECT_EQ(window.panel()->display(2)->text(), "008");
    EXPECT_TRUE(fs::is_directory(work_ / "B004" / "F00004"));
}

TEST_F(MainWindowTest, ViewerShowsNavigatesAndZoomsAFile) {
    MainWindow& window = Open();
    window.OpenFile(QString::fromStdString(Fixture("three_g4.tif").string()));
    Settle();
    Viewer& viewer = window.viewer();
    EXPECT_EQ(viewer.page(), 1);
    EXPECT_EQ(viewer.pages(), 3);
    const QImage first = window.page_view()->Window()->Picture();
    EXPECT_GT(DarkPixels(first), 100);

    window.tool(text_id::kNextPage)->trigger();
    window.tool(text_id::kLastPage)->trigger();
    EXPECT_EQ(viewer.page(), 3);
    window.tool(text_id::kNextPage)->trigger();
    EXPECT_EQ(viewer.page(), 3);
    window.tool(text_id::kFirstPage)->trigger();
    EXPECT_EQ(viewer.page(), 1);

    window.action(MenuCommand::kZoom100)->trigger();
    EXPECT_DOUBLE_EQ(viewer.zoom(), 100);
    window.tool(text_id::kZoomIn)->trigger();
    EXPECT_DOUBLE_EQ(viewer.zoom(), 103);
    window.tool(text_id::kZoomOut)->trigger();
    window.tool(text_id::kZoomOut)->trigger();
    EXPECT_DOUBLE_EQ(viewer.zoom(), 97);
    window.action(MenuCommand::kFitToWidth)->trigger();
    EXPECT_EQ(viewer.mode(), DisplayMode::kFitToWidth);
    Settle();
    EXPECT_GT(DarkPixels(window.page_view()->Window()->Picture()), 100);

    // A file that is no image leaves the view as it was.
    window.OpenFile(QString::fromStdString(Fixture("fake.tif").string()));
    EXPECT_EQ(viewer.file(), Fixture("three_g4.tif"));
}

TEST_F(MainWindowTest, BigIconsSwapTheToolBars) {
    MainWindow& window = Open();
    EXPECT_TRUE(window.small_tools()->isVisible());
    EXPECT_FALSE(window.big_tools()->isVisible());
    window.tool(text_id::kBigIcons)->trigger();
    EXPECT_FALSE(window.small_tools()->isVisible());
    EXPECT_TRUE(window.big_tools()->isVisible());
    EXPECT_GT(window.big_tools()->iconSize().width(), window.small_tools()->iconSize().width());
}

TEST_F(MainWindowTest, ExitAsksAndNoKeepsTheWindow) {
    MainWindow& window = Open();
    QString question;
    AnswerMessageBox(QMessageBox::No, &question);
    window.action(MenuCommand::kExit)->trigger();
    Settle();
    EXPECT_EQ(question, "Exit ?");
    EXPECT_TRUE(window.isVisible());

    TypeCode(1, "F3");
    AnswerMessageBox(QMessageBox::Yes);
    window.action(MenuCommand::kExit)->trigger();
    Settle();
    EXPECT_FALSE(window.isVisible());
    // The identification values are kept for the next start.
    EXPECT_NE(ReadFile(setup_ / "demo_save.ini").find("F00003"), std::string::npos);
    window_.reset();
}

TEST_F(MainWindowTest, ScreenshotsAtThreeSizesShowThePage) {
    MainWindow& window = Open();
    window.OpenFile(QString::fromStdString(TextPage().string()));
    ASSERT_EQ(window.viewer().pages(), 1);
    for (const QSize size : {QSize(800, 600), QSize(1280, 800), QSize(1920, 1080)}) {
        window.resize(size);
        Settle(10);
        const QImage shot = window.grab().toImage();
        KeepScreenshot(shot, QString("main_window_%1x%2").arg(size.width()).arg(size.height()));
        // The page area holds the page: white paper with its dark word boxes.
        const QImage page = window.page_view()->Window()->Picture();
        EXPECT_GT(page.width(), size.width() / 3) << size.width();
        EXPECT_GT(DarkPixels(page), 500) << size.width();
        EXPECT_GT(WhitePixels(page), page.width() * page.height() / 10) << size.width();
    }
}

TEST_F(MainWindowTest, ScansFromTheTestDeviceIntoTheViewerAndTheBatchListWithoutFreezing) {
    MainWindow& window = Open();
    TypeCode(0, "B1");
    TypeCode(1, "F1");
    IdentificationPanel* panel = window.panel();
    // The test device's feeder holds ten sheets an acquisition: go on twice, then end at the
    // third end-of-document choice.
    Responder responder({0, 0, 2});
    bool window_alive_while_scanning = false;
    responder.before_choice = [&] {
        // The questions come while the scan's thread waits: the window answers meanwhile.
        window_alive_while_scanning = window.scanning() && !panel->start_button()->isEnabled() &&
                                      panel->stop_button()->isEnabled();
    };
    QTest::mouseClick(panel->start_button(), Qt::LeftButton);
    EXPECT_TRUE(window.scanning());
    EXPECT_FALSE(panel->entry(1)->isEnabled());
    EXPECT_FALSE(window.action(MenuCommand::kDeskew)->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return !window.scanning(); }, 120)) << "the scan never ended";
    Settle();
    EXPECT_TRUE(window_alive_while_scanning);
    EXPECT_EQ(responder.choices_made, 3);

    // Thirty pages in the document of the typed codes, shown in the viewer and listed.
    const fs::path document = work_ / "B001" / "F00001" / "001";
    ASSERT_EQ(window.batch_files().files().size(), 1u) << responder.texts.join("|").toStdString();
    const fs::path scanned = window.batch_files().files()[0];
    EXPECT_EQ(scanned.parent_path(), document.parent_path());
    Viewer& viewer = window.viewer();
    EXPECT_EQ(viewer.file(), scanned);
    EXPECT_EQ(viewer.pages(), 30);
    EXPECT_GT(WhitePixels(window.page_view()->Window()->Picture()), 1000);
    EXPECT_TRUE(panel->start_button()->isEnabled());
    EXPECT_FALSE(panel->stop_button()->isEnabled());
    EXPECT_TRUE(panel->entry(1)->isEnabled());
    EXPECT_EQ(panel->file_list()->count(), 1);

    window.tool(text_id::kFirstPage)->trigger();
    EXPECT_EQ(viewer.page(), 1);
    window.tool(text_id::kNextPage)->trigger();
    EXPECT_EQ(viewer.page(), 2);
    window.action(MenuCommand::kZoom200)->trigger();
    EXPECT_DOUBLE_EQ(viewer.zoom(), 200);
    Settle();
    KeepScreenshot(window.grab().toImage(), "main_window_scanned");

    // Delete the batch file from the list.
    panel->file_list()->setCurrentRow(0);
    responder.yes = [](const QString& question) { return question.contains("cancellare"); };
    QTest::mouseClick(panel->delete_button(), Qt::LeftButton);
    Settle();
    EXPECT_FALSE(fs::exists(scanned));
    EXPECT_EQ(panel->file_list()->count(), 0);
    EXPECT_TRUE(viewer.file().empty());
}

TEST_F(MainWindowTest, TheStopButtonEndsAScanAfterItsSheet) {
    MainWindow& window = Open();
    TypeCode(0, "B2");
    TypeCode(1, "F2");
    IdentificationPanel* panel = window.panel();
    // Always go on scanning: only the stop button ends this scan.
    Responder responder({0});
    responder.before_choice = [&] { QTest::mouseClick(panel->stop_button(), Qt::LeftButton); };
    QTest::mouseClick(panel->start_button(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return !window.scanning(); }, 120)) << "the stop did not end it";
    Settle();
    EXPECT_LE(responder.choices_made, 2);
    EXPECT_EQ(window.StatusText(), "Scansione Documenti Arrestata");
    EXPECT_TRUE(panel->start_button()->isEnabled());
    EXPECT_FALSE(window.batch_files().files().empty());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowTest, EndOfBatchYesRunsTheTransferDialogOnTheWindowsThreadAndCloses) {
    MainWindow& window = Open();
    EXPECT_FALSE(window.action(MenuCommand::kSendFiles)->isEnabled());
    int transfers = 0;
    bool on_window_thread = false;
    window.SetTransferDialog([&] {
        ++transfers;
        on_window_thread = QThread::currentThread() == QApplication::instance()->thread();
        return true;
    });
    ASSERT_TRUE(window.action(MenuCommand::kSendFiles)->isEnabled());
    window.action(MenuCommand::kSendFiles)->trigger();
    EXPECT_EQ(transfers, 1);

    TypeCode(0, "B3");
    TypeCode(1, "F3");
    Responder responder({2});  // end scanning at the first end-of-document choice
    responder.yes = [](const QString& question) { return question == "Fine Batch?"; };
    QTest::mouseClick(window.panel()->start_button(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return !window.scanning(); }, 120));
    Settle();
    EXPECT_EQ(transfers, 2);
    EXPECT_TRUE(on_window_thread);
    EXPECT_TRUE(responder.texts.contains("Fine Batch?"));
    // The batch's end closes the program without asking "Exit ?".
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(responder.texts.contains("Exit ?"));
    window_.reset();
}

}  // namespace
}  // namespace scantora
