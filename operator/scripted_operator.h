// An operator that answers from a script and records everything shown: used by the tests.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "operator/operator.h"

namespace scantora {

struct OperatorEvent {
    enum class Kind { kInformation, kStop, kYesNo, kChoice, kBeep };
    Kind kind;
    std::string text;  // empty for a beep
};

class ScriptedOperator : public Operator {
public:
    // Queues the answers given, in order, to the next yes/no questions.
    void QueueYesNo(std::initializer_list<bool> answers);
    // Queues the button indexes given, in order, to the next three-way choices.
    void QueueChoices(std::initializer_list<int> answers);

    void ShowMessage(std::string_view text, MessageIcon icon) override;
    // With no queued answer the preselected one is taken and counted as unanswered.
    bool AskYesNo(std::string_view text, bool default_yes) override;
    // With no queued answer the first button is taken and counted as unanswered.
    int ChooseOne(std::string_view text, const ChoiceLabels& labels) override;
    void Beep() override;

    const std::vector<OperatorEvent>& events() const { return events_; }
    // Texts of the information and stop messages, in order.
    std::vector<std::string> Messages() const;
    int Count(OperatorEvent::Kind kind) const;
    int unanswered() const { return unanswered_; }

private:
    std::deque<bool> yes_no_;
    std::deque<int> choices_;
    std::vector<OperatorEvent> events_;
    int unanswered_ = 0;
};

}  // namespace scantora
