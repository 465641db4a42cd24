#include "app/console_operator.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "config/line_reader.h"
#include "operator/choice_labels.h"

namespace scantora {
namespace {

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

void ConsoleOperator::ShowMessage(std::string_view text, MessageIcon icon) {
    out_ << (icon == MessageIcon::kStop ? "[stop] " : "[info] ") << text << '\n';
    out_.flush();
}

bool ConsoleOperator::AskYesNo(std::string_view text, bool default_yes) {
    out_ << "[question] " << text << (default_yes ? " [Y/n] " : " [y/N] ");
    out_.flush();
    std::string answer;
    if (!ReadAnswer(answer)) return default_yes;
    answer = Lowered(answer);
    if (answer == "y" || answer == "yes" || answer == "s" || answer == "si") return true;
    if (answer == "n" || answer == "no") return false;
    return default_yes;
}

int ConsoleOperator::ChooseOne(std::string_view text, const ChoiceLabels& labels) {
    out_ << "[choice] " << text << '\n';
    for (int i = 0; i < static_cast<int>(labels.size()); ++i)
        if (ChoiceShown(labels, i)) out_ << "  " << i + 1 << ") " << labels[i] << '\n';
    out_.flush();
    std::string answer;
    if (!ReadAnswer(answer)) return 0;
    const int chosen = answer.size() == 1 ? answer[0] - '1' : -1;
    return ChoiceShown(labels, chosen) ? chosen : 0;
}

void ConsoleOperator::Beep() {
    out_ << '\a';
    out_.flush();
}

bool ConsoleOperator::ReadAnswer(std::string& answer) {
    constexpr std::size_t kMaxAnswer = 64;
    if (!ReadTextLine(in_, answer, kMaxAnswer)) {
        out_ << '\n';
        return false;
    }
    return true;
}

}  // namespace scantora
