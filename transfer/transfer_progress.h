// What a transfer tells the person watching it: a progress bar and a one-line status field.
// The transfer dialog shows them in its window, the console prints them; tests record them.
#pragma once

#include <string>
#include <string_view>

namespace scantora {

class TransferProgress {
public:
    virtual ~TransferProgress() = default;

    // The bar runs from `low` to `high`, starts at `position` and moves one step per page.
    virtual void SetRange(int low, int high) = 0;
    virtual void SetPosition(int position) = 0;
    virtual void Step() = 0;
    virtual void ShowBar(bool shown) = 0;

    // The status field is repainted at once: a move reports every file it starts.
    virtual void SetStatus(std::string_view text) = 0;
    virtual std::string Status() const = 0;
};

}  // namespace scantora
