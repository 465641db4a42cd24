#include "app/ui/choice_dialog.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QtTest/QTest>

#include "app/text_lookup.h"
#include "app/ui/qt_operator.h"
#include "operator/choice_labels.h"
#include "tests/app/ui/ui_test_support.h"

namespace scantora {
namespace {

using testing::App;
using testing::KeepScreenshot;
using testing::WhenShown;

TEST(ChoiceDialog, ButtonsByUseAndTheAnswerOfEachWayOut) {
    App();
    TextLookup texts;
    QtOperator op(texts);
    const ChoiceLabels multi = ChoiceButtons(ChoiceUse::kFileExists, true, texts);
    WhenShown<ChoiceDialog>([](ChoiceDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "File esistente");
        EXPECT_EQ(dialog.findChild<QLabel*>("text")->text(), "exists\nwhat now?");
        EXPECT_EQ(dialog.button(1)->text(), "Riacquisisci");
        KeepScreenshot(dialog, "choice_file_exists");
        QTest::mouseClick(dialog.button(1), Qt::LeftButton);
    });
    EXPECT_EQ(op.ChooseOne("exists\nwhat now?", multi), 1);

    // Escape never deletes a file: it answers with the last button.
    WhenShown<ChoiceDialog>([](ChoiceDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(op.ChooseOne("again", multi), 2);

    const ChoiceLabels single = ChoiceButtons(ChoiceUse::kEndOfDocument, false, texts);
    WhenShown<ChoiceDialog>([](ChoiceDialog& dialog) {
        EXPECT_FALSE(dialog.button(1)->isVisible());
        EXPECT_TRUE(dialog.button(2)->isVisible());
        EXPECT_EQ(dialog.button(0)->text(), "Continua Acquisizione");
        KeepScreenshot(dialog, "choice_end_of_document");
        QTest::mouseClick(dialog.button(0), Qt::LeftButton);
    });
    EXPECT_EQ(op.ChooseOne("Fine Documenti !", single), 0);
}

}  // namespace
}  // namespace scantora
