#include "app/ui/choice_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "acquisition/ui/qt_text.h"
#include "operator/choice_labels.h"
#include "operator/text_ids.h"

namespace scantora {
namespace {

// done() codes: the button's index plus this, so that none is QDialog::Rejected.
constexpr int kFirstAnswer = 1;
constexpr int kLastButton = 2;

}  // namespace

ChoiceDialog::ChoiceDialog(const QString& text, const ChoiceLabels& labels,
                           const InterfaceTexts& texts, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QtText(texts, text_id::kFileExistsCaption));
    auto* message = new QLabel(text, this);
    message->setObjectName("text");
    message->setTextFormat(Qt::PlainText);
    auto* row = new QHBoxLayout;
    for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) {
        auto* button = new QPushButton(ToQt(labels[static_cast<std::size_t>(i)]), this);
        button->setObjectName(QStringLiteral("button%1").arg(i + 1));
        button->setVisible(ChoiceShown(labels, i));
        button->setAutoDefault(i == 0);
        connect(button, &QPushButton::clicked, this, [this, i] { done(kFirstAnswer + i); });
        buttons_[static_cast<std::size_t>(i)] = button;
        row->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message);
    layout->addLayout(row);
}

int ChoiceDialog::Choose() {
    const int result = exec();
    return result >= kFirstAnswer ? result - kFirstAnswer : kLastButton;
}

}  // namespace scantora
