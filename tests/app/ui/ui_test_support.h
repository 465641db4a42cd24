// What the dialog tests share: one offscreen application, the dialog shown by the next exec(),
// and screenshots kept as test output (build/test_output/dialogs/).
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>

#include <functional>

namespace scantora::testing {

inline QApplication& App() {
    // The dialogs need no screen; a run from a desktop shows nothing either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "scantora_ui_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the pointing device QTest's clicks make is a static of its own, and it
    // must not outlive the application at exit.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Runs `act` on the modal dialog of type `Dialog` once an exec() shows it.
template <typename Dialog>
void WhenShown(std::function<void(Dialog&)> act, int tries_left = 500) {
    constexpr int kRetryMs = 10;
    QTimer::singleShot(kRetryMs, [act, tries_left] {
        if (auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget())) {
            act(*dialog);
        } else if (tries_left > 0) {
            WhenShown<Dialog>(act, tries_left - 1);
        } else {
            ADD_FAILURE() << "the dialog was never shown";
            if (QWidget* other = QApplication::activeModalWidget()) other->close();
        }
    });
}

// Clicks OK or Cancel of the dialog's button box.
inline void Press(QDialog& dialog, QDialogButtonBox::StandardButton which) {
    QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(which), Qt::LeftButton);
}

// Turns the event loop until `done` holds; false after `seconds`.
inline bool WaitFor(const std::function<bool()>& done, int seconds = 60) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > seconds * 1000) return false;
        QTest::qWait(20);
    }
    return true;
}

inline void KeepScreenshot(QWidget& widget, const QString& name) {
    const QString folder = QStringLiteral(TEST_BINARY_DIR "/test_output/dialogs");
    QDir().mkpath(folder);
    EXPECT_TRUE(widget.grab().save(folder + "/" + name + ".png")) << name.toStdString();
}

}  // namespace scantora::testing
