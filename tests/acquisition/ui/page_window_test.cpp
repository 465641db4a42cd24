// The Qt host of pixdoc32's image windows, offscreen and under Xvfb: a generated page shown in a
// frame and fitted, zoomed, scrolled with the scroll bars and the wheel, the frame resized; a
// top-level window's title; a colour page that cannot be decoded; repaints while another thread
// holds the pixdoc32 lock. Screenshots are kept in test_output/ of the build folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <future>
#include <mutex>
#include <string>
#include <thread>

#include "acquisition/scanner/pixdoc_lock.h"
#include "acquisition/ui/page_window.h"
#include "acquisition/ui/page_window_host.h"
#include "pixdoc32_window_host.h"

namespace scantora {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "acquisition_ui_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's test input device would outlive the application's children.
    static QApplication* app = new QApplication(argc, argv);
    static const bool installed = InstallPageWindowHost();
    EXPECT_TRUE(installed);
    return *app;
}

QString Fixture(const char* name) {
    return QString(TEST_FIXTURE_DIR "/window/") + name;
}

void KeepScreenshot(const QImage& shot, const char* name) {
    const QString folder = QString(TEST_BINARY_DIR "/test_output");
    QDir().mkpath(folder);
    EXPECT_TRUE(shot.save(folder + "/" + name + "_" + QApplication::platformName() + ".png"));
}

// Pixels of a part of a screenshot that are dark (text, rules).
int DarkPixels(const QImage& shot, const QRect& part) {
    int dark = 0;
    const QRect inside = part.intersected(shot.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            dark += qGray(shot.pixel(x, y)) < 128 ? 1 : 0;
    return dark;
}

void Settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

class PageWindowHost : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        frame_ = std::make_unique<QWidget>();
        frame_->resize(640, 480);
        frame_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
        window_ = PageWindow::Open(frame_.get());
        ASSERT_TRUE(window_);
    }

    QWidget* Viewport() const { return window_->Widget()->childAt(QPoint(5, 5)); }

    std::unique_ptr<QWidget> frame_;
    std::unique_ptr<PageWindow> window_;
};

TEST_F(PageWindowHost, AFittedPageFillsItsPartOfTheFrame) {
    EXPECT_EQ(window_->Widget()->geometry(), frame_->rect());
    ASSERT_EQ(window_->ShowPage(Fixture("page_g4.tif")), 0);
    Settle();
    const QImage shot = window_->Widget()->Picture();
    KeepScreenshot(shot, "page_window_fitted");
    ASSERT_EQ(shot.size(), QSize(640, 480));
    // 827 x 1169 fitted into 640 x 480 is about 339 pixels wide: text on the left, background
    // right of it.
    EXPECT_GT(DarkPixels(shot, QRect(0, 0, 330, 480)), 3000);
    EXPECT_EQ(DarkPixels(shot, QRect(345, 0, 295, 480)), 0);
    EXPECT_FALSE(window_->Widget()->ScrollBar(PIXDOC_BAR_VERTICAL)->isVisible());
    EXPECT_FALSE(window_->Widget()->ScrollBar(PIXDOC_BAR_HORIZONTAL)->isVisible());
    // Not an image: the window is emptied.
    EXPECT_EQ(window_->ShowPage(Fixture("not_image.tif")), 2);
    Settle();
    EXPECT_EQ(DarkPixels(window_->Widget()->Picture(), QRect(0, 0, 640, 480)), 0);
}

TEST_F(PageWindowHost, ZoomedPagesScrollWithTheBarsAndTheWheel) {
    ASSERT_EQ(window_->ShowPage(Fixture("page_g4.tif")), 0);
    ASSERT_EQ(window_->ShowArea(QRect(0, 0, 300, 200)), 0);
    Settle();
    QScrollBar* vertical = window_->Widget()->ScrollBar(PIXDOC_BAR_VERTICAL);
    QScrollBar* horizontal = window_->Widget()->ScrollBar(PIXDOC_BAR_HORIZONTAL);
    ASSERT_TRUE(vertical->isVisible());
    ASSERT_TRUE(horizontal->isVisible());
    EXPECT_EQ(vertical->value(), 0);
    const QImage top = window_->Widget()->Picture();
    KeepScreenshot(window_->Widget()->grab().toImage(), "page_window_zoomed");
    EXPECT_GT(DarkPixels(top, top.rect()), 3000);

    // A click below the box pages down.
    QTest::mouseClick(vertical, Qt::LeftButton, {},
                      QPoint(vertical->width() / 2, vertical->height() - 3 * vertical->width()));
    Settle();
    const int paged = vertical->value();
    EXPECT_GT(paged, 0);
    const QImage scrolled = window_->Widget()->Picture();
    KeepScreenshot(window_->Widget()->grab().toImage(), "page_window_scrolled");
    EXPECT_NE(scrolled, top);

    // The wheel moves by lines.
    QWheelEvent wheel(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, -2 * 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Viewport(), &wheel);
    Settle();
    EXPECT_GT(vertical->value(), paged);

    // Zooming out shows more of the page; far enough, the bars go.
    ASSERT_EQ(window_->Zoom(0.5), 0);
    Settle();
    EXPECT_GT(vertical->pageStep(), 200);
    ASSERT_EQ(window_->Zoom(0.25), 0);
    Settle();
    EXPECT_FALSE(vertical->isVisible());
    KeepScreenshot(window_->Widget()->Picture(), "page_window_zoomed_out");
}

TEST_F(PageWindowHost, TheWindowFollowsItsFrame) {
    ASSERT_EQ(window_->ShowPage(Fixture("page_g4.tif")), 0);
    Settle();
    frame_->resize(900, 700);
    Settle();
    EXPECT_EQ(window_->Widget()->geometry(), frame_->rect());
    const QImage shot = window_->Widget()->Picture();
    KeepScreenshot(shot, "page_window_resized");
    EXPECT_EQ(shot.size(), QSize(900, 700));
    // The scale stays; the page keeps its 339 x 480 pixels at the top left.
    EXPECT_GT(DarkPixels(shot, QRect(0, 0, 340, 480)), 3000);
    EXPECT_EQ(DarkPixels(shot, QRect(0, 490, 900, 210)), 0);
}

TEST_F(PageWindowHost, AColourPageThatCannotBeDecodedShowsItsErrorText) {
    ASSERT_EQ(window_->ShowPage(Fixture("broken.gif")), 0);
    Settle();
    const QImage shot = window_->Widget()->Picture();
    KeepScreenshot(shot, "page_window_colour_error");
    EXPECT_GT(DarkPixels(shot, QRect(0, 0, 640, 30)), 50);
    EXPECT_EQ(DarkPixels(shot, QRect(0, 40, 640, 440)), 0);
    ASSERT_EQ(window_->ShowPage(Fixture("colour.jpg")), 0);
    Settle();
    KeepScreenshot(window_->Widget()->Picture(), "page_window_colour");
}

TEST_F(PageWindowHost, ATopLevelWindowIsTitledWithItsPage) {
    PixdocWindow handle = 0;
    {
        const std::lock_guard<std::recursive_mutex> hold(PixdocLock());
        ASSERT_EQ(PX_StartImageWindow(0, 0, 20, 20, 500, 400), 0);
        handle = PX_GetImageWindowHandle();
        ASSERT_EQ(PX_SetImageMultPage(QFile::encodeName(Fixture("scan.tif")).constData(), 2), 0);
    }
    PageWindowWidget* top = PageWindowWidget::Find(handle);
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(top->isWindow());
    EXPECT_EQ(top->windowTitle(), Fixture("scan.tif") + "    [2 of 5]");
    top->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(PageWindowWidget::Find(handle), nullptr);
    const std::lock_guard<std::recursive_mutex> hold(PixdocLock());
    EXPECT_EQ(PX_SetImageWindow(handle), 1);  // gone from the library too
}

TEST_F(PageWindowHost, ARepaintNeverWaitsForAnotherThreadsCall) {
    ASSERT_EQ(window_->ShowPage(Fixture("page_g4.tif")), 0);
    Settle();
    const QImage before = window_->Widget()->Picture();
    std::promise<void> locked, release;
    std::thread scan([&] {
        const std::lock_guard<std::recursive_mutex> hold(PixdocLock());
        locked.set_value();
        release.get_future().wait();
    });
    locked.get_future().wait();
    // The other thread holds pixdoc32: the window shows its last picture.
    EXPECT_EQ(window_->Widget()->Picture(), before);
    release.set_value();
    scan.join();
    ASSERT_EQ(window_->Zoom(2.0), 0);
    Settle();
    EXPECT_NE(window_->Widget()->Picture(), before);
}

}  // namespace
}  // namespace scantora
