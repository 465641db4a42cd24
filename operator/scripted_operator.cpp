#include "operator/scripted_operator.h"

#include <algorithm>

namespace scantora {

void ScriptedOperator::QueueYesNo(std::initializer_list<bool> answers) {
    yes_no_.insert(yes_no_.end(), answers.begin(), answers.end());
}

void ScriptedOperator::QueueChoices(std::initializer_list<int> answers) {
    choices_.insert(choices_.end(), answers.begin(), answers.end());
}

void ScriptedOperator::ShowMessage(std::string_view text, MessageIcon icon) {
    const auto kind =
        icon == MessageIcon::kStop ? OperatorEvent::Kind::kStop : OperatorEvent::Kind::kInformation;
    events_.push_back({kind, std::string(text)});
}

bool ScriptedOperator::AskYesNo(std::string_view text, bool default_yes) {
    events_.push_back({OperatorEvent::Kind::kYesNo, std::string(text)});
    if (yes_no_.empty()) {
        ++unanswered_;
        return default_yes;
    }
    const bool answer = yes_no_.front();
    yes_no_.pop_front();
    return answer;
}

int ScriptedOperator::ChooseOne(std::string_view text, const ChoiceLabels&) {
    events_.push_back({OperatorEvent::Kind::kChoice, std::string(text)});
    if (choices_.empty()) {
        ++unanswered_;
        return 0;
    }
    const int answer = std::clamp(choices_.front(), 0, 2);
    choices_.pop_front();
    return answer;
}

void ScriptedOperator::Beep() {
    events_.push_back({OperatorEvent::Kind::kBeep, {}});
}

std::vector<std::string> ScriptedOperator::Messages() const {
    std::vector<std::string> texts;
    for (const auto& event : events_) {
        if (event.kind == OperatorEvent::Kind::kInformation ||
            event.kind == OperatorEvent::Kind::kStop)
            texts.push_back(event.text);
    }
    return texts;
}

int ScriptedOperator::Count(OperatorEvent::Kind kind) const {
    return static_cast<int>(std::count_if(events_.begin(), events_.end(),
                                          [kind](const auto& e) { return e.kind == kind; }));
}

}  // namespace scantora
