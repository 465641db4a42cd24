// A progress bar and status field that remember what they were told.
#pragma once

#include <string>
#include <vector>

#include "transfer/transfer_progress.h"

namespace scantora::testing {

class RecordingProgress : public TransferProgress {
public:
    void SetRange(int from, int to) override {
        low = from;
        high = to;
    }
    void SetPosition(int at) override { position = at; }
    void Step() override { ++position; }
    void ShowBar(bool show) override { shown = show; }
    void SetStatus(std::string_view text) override { statuses.emplace_back(text); }
    std::string Status() const override { return statuses.empty() ? "" : statuses.back(); }

    int low = 0;
    int high = 0;
    int position = 0;
    bool shown = false;
    std::vector<std::string> statuses;
};

}  // namespace scantora::testing
