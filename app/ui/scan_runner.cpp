#include "app/ui/scan_runner.h"

#include <QCoreApplication>
#include <QThread>

namespace scantora {

ScanRunner::ScanRunner(AcquisitionLoop& loop, const IdentificationModel& identification,
                       ScanEvents events, QObject* parent)
    : QObject(parent), loop_(loop), identification_(identification), events_(std::move(events)) {
    loop_.SetObserver(this);
}

ScanRunner::~ScanRunner() {
    events_ = {};  // the window is going: nothing more reaches it
    loop_.Stop();
    // The scan may be waiting for an answer on this thread: keep answering until it ends.
    while (busy_.load()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    if (thread_.joinable()) thread_.join();
    loop_.SetObserver(nullptr);
}

bool ScanRunner::Start() {
    if (busy_.exchange(true)) return false;
    if (thread_.joinable()) thread_.join();
    thread_ = std::thread([this] {
        const ScanResult result = loop_.Start();
        const IdentificationView view = ViewOf(identification_);
        Post([this, result, view] {
            if (thread_.joinable()) thread_.join();
            if (events_.ended) events_.ended(result, view);
        });
        busy_.store(false);
    });
    return true;
}

void ScanRunner::Stop() {
    loop_.Stop();
}

template <typename Deliver>
void ScanRunner::Post(Deliver deliver) {
    QMetaObject::invokeMethod(this, std::move(deliver), Qt::QueuedConnection);
}

void ScanRunner::PageSaved(const PageSavedEvent& event) {
    Post([this, event, view = ViewOf(identification_)] {
        if (events_.page_saved) events_.page_saved(event, view);
    });
}

void ScanRunner::CounterChanged(std::string_view text) {
    Post([this, text = std::string(text)] {
        if (events_.counter) events_.counter(text);
    });
}

void ScanRunner::StatusChanged(std::string_view text) {
    Post([this, text = std::string(text)] {
        if (events_.status) events_.status(text);
    });
}

void ScanRunner::DocumentChanged(const std::string&) {
    Post([this, view = ViewOf(identification_)] {
        if (events_.identification) events_.identification(view);
    });
}

void ScanRunner::ShowDocument(const std::string& file) {
    Post([this, file] {
        if (events_.show_document) events_.show_document(file);
    });
}

}  // namespace scantora
