// The operator interface: every question and message the logic puts to the person at the
// workstation goes through this class, so that the logic runs the same under the window, on a
// console and in tests.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace scantora {

enum class MessageIcon { kInformation, kStop };

// The three buttons of a three-way choice, in the order they are shown; a button whose label
// is empty is hidden and cannot be chosen.
using ChoiceLabels = std::array<std::string, 3>;

class Operator {
public:
    virtual ~Operator() = default;

    // Shows `text` and waits until the operator has seen it.
    virtual void ShowMessage(std::string_view text, MessageIcon icon) = 0;
    // Asks a yes/no question; `default_yes` says which answer is preselected.
    virtual bool AskYesNo(std::string_view text, bool default_yes) = 0;
    // Offers the shown buttons of `labels`; returns the index (0 to 2) of the one chosen.
    virtual int ChooseOne(std::string_view text, const ChoiceLabels& labels) = 0;
    // Gives the short warning sound of a refused input.
    virtual void Beep() = 0;

    void Inform(std::string_view text) { ShowMessage(text, MessageIcon::kInformation); }
    void Stop(std::string_view text) { ShowMessage(text, MessageIcon::kStop); }
};

}  // namespace scantora
