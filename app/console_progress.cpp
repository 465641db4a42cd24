#include "app/console_progress.h"

namespace scantora {

void ConsoleProgress::SetRange(int low, int high) {
    low_ = low;
    high_ = high;
}

void ConsoleProgress::SetStatus(std::string_view text) {
    if (text == status_) return;
    status_ = text;
    out_ << status_ << '\n';
}

}  // namespace scantora
