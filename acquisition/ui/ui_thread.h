// Work the logic hands to the window from a worker thread (a question of the scan loop, the
// scanner options dialog before an acquisition): run on the user-interface thread while the
// worker waits, since widgets live on that thread only.
#pragma once

#include <QCoreApplication>
#include <QThread>

namespace scantora {

// Runs `work` on the application's thread and returns when it has run; on that thread itself,
// or without an application, runs it at once. The UI thread must never wait for the worker.
template <typename Work>
void RunOnUiThread(Work work) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(app, work, Qt::BlockingQueuedConnection);
}

}  // namespace scantora
