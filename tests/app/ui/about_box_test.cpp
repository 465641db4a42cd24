#include "app/ui/about_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>

#include "tests/app/ui/ui_test_support.h"

namespace scantora {
namespace {

using testing::App;

TEST(AboutBox, ShowsTranslatedTextsAndClosesWithOk) {
    App();
    TextLookup texts(BuiltinLanguage::kEnglish);
    AboutBox box(texts, QString::fromUtf8("Citt\xC3\xA0"));
    EXPECT_EQ(box.JobText(), QString::fromUtf8("Program: Citt\xC3\xA0"));

    texts.table().Add(61455, "Lavoro");
    AboutBox translated(texts, QStringLiteral("DEMO"));
    EXPECT_EQ(translated.JobText(), QStringLiteral("Lavoro: DEMO"));

    QTimer::singleShot(0, &box, [&box] {
        box.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(box.exec(), QDialog::Accepted);
}

}  // namespace
}  // namespace scantora
