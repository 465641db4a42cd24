// Runs the acquisition loop's start command on a thread of its own, so that the window stays
// alive while pages come in, and brings the loop's events back to the window's thread. The
// loop's questions reach the operator through QtOperator, which asks on the window's thread.
#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "acquisition/acquisition_loop.h"
#include "acquisition/ui/identification_panel.h"

namespace scantora {

// What the window hears, on its own thread. The identification view is a copy taken on the
// scan's thread: while a scan runs the window never reads the model itself.
struct ScanEvents {
    std::function<void(const PageSavedEvent&, const IdentificationView&)> page_saved;
    std::function<void(const std::string&)> counter;
    std::function<void(const std::string&)> status;
    std::function<void(const IdentificationView&)> identification;
    std::function<void(const std::string&)> show_document;
    std::function<void(const ScanResult&, const IdentificationView&)> ended;
};

class ScanRunner : public QObject, private AcquisitionObserver {
public:
    // `loop` and `identification` (the loop's) must outlive the runner.
    ScanRunner(AcquisitionLoop& loop, const IdentificationModel& identification, ScanEvents events,
               QObject* parent = nullptr);
    // Stops a scan in progress and waits for it, answering its questions meanwhile.
    ~ScanRunner() override;

    // The start command; false when a scan runs already.
    bool Start();
    // The stop command: the scan ends after the sheet in progress.
    void Stop();
    bool busy() const { return busy_.load(); }

private:
    void PageSaved(const PageSavedEvent& event) override;
    void CounterChanged(std::string_view text) override;
    void StatusChanged(std::string_view text) override;
    void DocumentChanged(const std::string& file) override;
    void ShowDocument(const std::string& file) override;
    // Runs `deliver` on the window's thread, later.
    template <typename Deliver>
    void Post(Deliver deliver);

    AcquisitionLoop& loop_;
    const IdentificationModel& identification_;
    ScanEvents events_;
    std::thread thread_;
    std::atomic<bool> busy_{false};
};

}  // namespace scantora
