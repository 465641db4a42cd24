// The transfer's progress on a text console: each new status line is printed; the bar is kept
// for whoever asks but drawn nowhere, as a console shows the files one line at a time.
#pragma once

#include <ostream>
#include <string>

#include "transfer/transfer_progress.h"

namespace scantora {

class ConsoleProgress : public TransferProgress {
public:
    explicit ConsoleProgress(std::ostream& out) : out_(out) {}

    void SetRange(int low, int high) override;
    void SetPosition(int position) override { position_ = position; }
    void Step() override { ++position_; }
    void ShowBar(bool shown) override { shown_ = shown; }
    void SetStatus(std::string_view text) override;
    std::string Status() const override { return status_; }

    int low() const { return low_; }
    int high() const { return high_; }
    int position() const { return position_; }
    bool shown() const { return shown_; }

private:
    std::ostream& out_;
    int low_ = 0;
    int high_ = 0;
    int position_ = 0;
    bool shown_ = false;
    std::string status_;
};

}  // namespace scantora
