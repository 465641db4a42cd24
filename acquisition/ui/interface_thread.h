// Long work (a scan, a transfer) runs off the interface thread so that the window keeps
// repainting; whatever it asks of the operator is asked on the interface thread, where Qt's
// widgets live.
#pragma once

#include <QApplication>
#include <QThread>

#include <optional>
#include <type_traits>
#include <utility>

namespace scantora {

inline bool OnInterfaceThreadNow() {
    return QThread::currentThread() == qApp->thread();
}

// Runs `work` on the interface thread and waits for its result; there, it runs at once.
template <typename Work>
std::invoke_result_t<Work&> OnInterfaceThread(Work&& work) {
    using Result = std::invoke_result_t<Work&>;
    if (OnInterfaceThreadNow()) return work();
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(
            qApp, [&] { work(); }, Qt::BlockingQueuedConnection);
    } else {
        std::optional<Result> result;
        QMetaObject::invokeMethod(
            qApp, [&] { result.emplace(work()); }, Qt::BlockingQueuedConnection);
        return std::move(*result);
    }
}

}  // namespace scantora
