// The operator at the window: messages and yes/no questions in message boxes, the three-way
// choice in the choice dialog. The logic may ask from a worker thread (the scan loop): the
// question is then put on the user-interface thread and the worker waits for the answer.
#pragma once

#include <QPointer>
#include <QWidget>

#include "operator/interface_texts.h"
#include "operator/operator.h"

namespace scantora {

class QtOperator : public Operator {
public:
    QtOperator(const InterfaceTexts& texts, QWidget* parent = nullptr)
        : texts_(texts), parent_(parent) {}

    void ShowMessage(std::string_view text, MessageIcon icon) override;
    bool AskYesNo(std::string_view text, bool default_yes) override;
    int ChooseOne(std::string_view text, const ChoiceLabels& labels) override;
    void Beep() override;

private:
    const InterfaceTexts& texts_;
    QPointer<QWidget> parent_;
};

}  // namespace scantora
