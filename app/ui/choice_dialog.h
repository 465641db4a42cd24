// The three-button choice ("File esistente"): a text and the buttons of its use, a hidden
// button where its label is empty.
#pragma once

#include <QDialog>

#include <array>

#include "operator/interface_texts.h"
#include "operator/operator.h"

class QPushButton;

namespace scantora {

class ChoiceDialog : public QDialog {
public:
    ChoiceDialog(const QString& text, const ChoiceLabels& labels, const InterfaceTexts& texts,
                 QWidget* parent = nullptr);

    // The index (0 to 2) of the button pressed; closing the dialog any other way answers with
    // the last button, which never touches a file.
    int Choose();

    QPushButton* button(int index) const { return buttons_[static_cast<std::size_t>(index)]; }

private:
    std::array<QPushButton*, 3> buttons_{};
};

}  // namespace scantora
