#include "app/ui/qt_operator.h"

#include <QApplication>
#include <QMessageBox>

#include "app/ui/choice_dialog.h"
#include "acquisition/ui/qt_text.h"

namespace scantora {
namespace {

const QString kTitle = QStringLiteral("Scantora");

}  // namespace

void QtOperator::ShowMessage(std::string_view text, MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::kStop ? QMessageBox::Critical : QMessageBox::Information,
                    kTitle, ToQt(text), QMessageBox::Ok, parent_);
    box.exec();
}

bool QtOperator::AskYesNo(std::string_view text, bool default_yes) {
    QMessageBox box(QMessageBox::Question, kTitle, ToQt(text), QMessageBox::Yes | QMessageBox::No,
                    parent_);
    box.setDefaultButton(default_yes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int QtOperator::ChooseOne(std::string_view text, const ChoiceLabels& labels) {
    ChoiceDialog dialog(ToQt(text), labels, texts_, parent_);
    return dialog.Choose();
}

void QtOperator::Beep() {
    QApplication::beep();
}

}  // namespace scantora
