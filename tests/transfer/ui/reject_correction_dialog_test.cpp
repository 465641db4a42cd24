// The Reject Correction dialog as the reader control's hook: a real page with a read the reader
// takes for rejected, shown through the image window host offscreen; the export line checked.
#include "transfer/ui/reject_correction_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMessageBox>

#include <future>
#include <thread>

#include "acquisition/scanner/pixdoc_lock.h"
#include "acquisition/ui/page_window_host.h"
#include "app/text_lookup.h"
#include "operator/scripted_operator.h"
#include "tests/app/ui/ui_test_support.h"
#include "tests/support/scratch_dir.h"
#include "transfer/barlynx_wrapper.h"

namespace scantora {
namespace {

using testing::App;
using testing::KeepScreenshot;
using testing::Press;
using testing::ReadFile;
using testing::ScratchDir;
using testing::WhenShown;
using testing::WriteFile;

const std::string kPage = TEST_FIXTURE_DIR "/correction_page/rejected.tif";

// Whether another thread could take the pixdoc32 lock now.
bool LockFree() {
    return std::async(std::launch::async,
                      [] {
                          const bool free = PixdocLock().try_lock();
                          if (free) PixdocLock().unlock();
                          return free;
                      })
        .get();
}

int DarkPixels(const QImage& picture) {
    int dark = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            dark += qGray(picture.pixel(x, y)) < 128 ? 1 : 0;
    return dark;
}

class RejectCorrectionHook : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        static const bool installed = InstallPageWindowHost();
        ASSERT_TRUE(installed);
        setenv(kBarlynxLibraryVariable, BARLYNX_LIBRARY, 1);
        CreatedBarlynx created = CreateBarlynxControl();
        ASSERT_TRUE(created.control) << created.error;
        barlynx_.emplace(std::move(created.control), op_, &hook_);
        job_.barcodeval = "256";
    }
    void TearDown() override { unsetenv(kBarlynxLibraryVariable); }

    // The page read with an export file; its line.
    std::string ReadAndExport() {
        BarcodeExports exports;
        exports.export_file = (dir_ / "export.txt").string();
        const BarcodeRead read = barlynx_->ReadPage(job_, kPage, 1, exports);
        EXPECT_EQ(read.error, 0);
        EXPECT_EQ(read.text, "*12?45*<100,370,121,256,29>");
        return ReadFile(dir_ / "export.txt");
    }

    ScratchDir dir_;
    TextLookup texts_;
    ScriptedOperator op_;
    QtRejectCorrection hook_{texts_};
    std::optional<CBarlynx> barlynx_;
    JobRecord job_;
};

TEST_F(RejectCorrectionHook, OkTakesTheDigitsTypedCancelKeepsTheRead) {
    WhenShown<RejectCorrectionDialog>([](RejectCorrectionDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Reject Correction");
        EXPECT_TRUE(LockFree()) << "the dialog waits with the pixdoc32 lock free";
        QLineEdit* edit = dialog.edit();
        EXPECT_EQ(edit->text(), "12?45");
        ASSERT_TRUE(dialog.page_window());
        QApplication::processEvents();
        // The neighbourhood of the symbol fills the frame: much of it is bars.
        EXPECT_GT(DarkPixels(dialog.page_window()->Widget()->Picture()), 5000);
        KeepScreenshot(dialog, "reject_correction");
        edit->setCursorPosition(3);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, "x3");
        EXPECT_EQ(edit->text(), "12345");
        Press(dialog, QDialogButtonBox::Ok);
    });
    EXPECT_EQ(ReadAndExport(), "rejected;12345                    ;00100;00121;00370;00121;" +
                                   std::filesystem::path(kPage).parent_path().string() + "\r\n");

    std::filesystem::remove(dir_ / "export.txt");
    WhenShown<RejectCorrectionDialog>([](RejectCorrectionDialog& dialog) {
        QTest::keyClicks(dialog.edit(), "9");
        Press(dialog, QDialogButtonBox::Cancel);
    });
    EXPECT_NE(ReadAndExport().find(";12?45   "), std::string::npos);
}

TEST_F(RejectCorrectionHook, AReadOnAWorkerThreadAsksOnTheInterfaceThread) {
    WhenShown<RejectCorrectionDialog>([](RejectCorrectionDialog& dialog) {
        EXPECT_EQ(QThread::currentThread(), qApp->thread());
        ASSERT_TRUE(dialog.page_window());
        QTest::keyClicks(dialog.edit(), "0");
        Press(dialog, QDialogButtonBox::Ok);
    });
    std::string line;
    std::thread worker([&] { line = ReadAndExport(); });
    while (line.empty())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
    EXPECT_NE(line.find(";12?450   "), std::string::npos) << line;
}

TEST_F(RejectCorrectionHook, AFileThatIsNoImageIsSaidAndAMissingOneShowsNothing) {
    WriteFile(dir_ / "notes.tif", "not an image");
    const std::string file = (dir_ / "notes.tif").string();
    barlynx::CorrectionRequest request;
    request.barcode_text = "7?";
    request.file_name = file;
    WhenShown<QMessageBox>([&](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), "Error: Not an Image");
        EXPECT_EQ(box.text().toStdString(), file);
        WhenShown<RejectCorrectionDialog>(
            [](RejectCorrectionDialog& dialog) { Press(dialog, QDialogButtonBox::Ok); });
        box.accept();
    });
    EXPECT_EQ(hook_.Correct(request), "7?");

    request.file_name = (dir_ / "missing.tif").string();
    WhenShown<RejectCorrectionDialog>([](RejectCorrectionDialog& dialog) {
        EXPECT_FALSE(dialog.page_window());
        Press(dialog, QDialogButtonBox::Cancel);
    });
    EXPECT_EQ(hook_.Correct(request), std::nullopt);
}

}  // namespace
}  // namespace scantora
