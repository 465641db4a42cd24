// An operator on a text console, for headless runs: messages go to `out`, answers are read
// from `in`. When `in` has nothing more to give, the preselected answer is taken, so that a
// run without a terminal never blocks.
#pragma once

#include <istream>
#include <ostream>

#include "operator/operator.h"

namespace scantora {

class ConsoleOperator : public Operator {
public:
    ConsoleOperator(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

    void ShowMessage(std::string_view text, MessageIcon icon) override;
    // Accepts "y"/"yes"/"s"/"si" and "n"/"no" in either case; anything else gives the default.
    bool AskYesNo(std::string_view text, bool default_yes) override;
    // Accepts the number (1 to 3) of a shown button; anything else gives the first button.
    int ChooseOne(std::string_view text, const ChoiceLabels& labels) override;
    // Writes the terminal bell.
    void Beep() override;

private:
    bool ReadAnswer(std::string& answer);

    std::istream& in_;
    std::ostream& out_;
};

}  // namespace scantora
