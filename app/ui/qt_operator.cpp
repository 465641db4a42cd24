#include "app/ui/qt_operator.h"

#include <QApplication>
#include <QMessageBox>

#include "acquisition/ui/interface_thread.h"
#include "acquisition/ui/qt_text.h"
#include "app/ui/choice_dialog.h"

namespace scantora {
namespace {

const QString kTitle = QStringLiteral("Scantora");

}  // namespace

void QtOperator::ShowMessage(std::string_view text, MessageIcon icon) {
    OnInterfaceThread([&] {
        QMessageBox box(
            icon == MessageIcon::kStop ? QMessageBox::Critical : QMessageBox::Information, kTitle,
            ToQt(text), QMessageBox::Ok, parent_);
        box.exec();
    });
}

bool QtOperator::AskYesNo(std::string_view text, bool default_yes) {
    bool yes = default_yes;
    OnInterfaceThread([&] {
        QMessageBox box(QMessageBox::Question, kTitle, ToQt(text),
                        QMessageBox::Yes | QMessageBox::No, parent_);
        box.setDefaultButton(default_yes ? QMessageBox::Yes : QMessageBox::No);
        yes = box.exec() == QMessageBox::Yes;
    });
    return yes;
}

int QtOperator::ChooseOne(std::string_view text, const ChoiceLabels& labels) {
    int chosen = 0;
    OnInterfaceThread([&] {
        ChoiceDialog dialog(ToQt(text), labels, texts_, parent_);
        chosen = dialog.Choose();
    });
    return chosen;
}

void QtOperator::Beep() {
    OnInterfaceThread([] { QApplication::beep(); });
}

}  // namespace scantora
