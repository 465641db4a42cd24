#include "acquisition/ui/qt_text.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

#include "operator/text_ids.h"

namespace scantora {

QDialogButtonBox* OkCancelButtons(QDialog& dialog, const InterfaceTexts& texts) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QtText(texts, text_id::kOk));
    buttons->button(QDialogButtonBox::Cancel)->setText(QtText(texts, text_id::kCancel));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

}  // namespace scantora
