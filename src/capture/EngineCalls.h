// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/EngineWait.h"

#include <QFuture>
#include <QFutureWatcher>
#include <QHash>

#include <qcoro/qcorotask.h>

#include <functional>
#include <type_traits>

// The engine calls a browser has under way. The page's end or a stop aborts them all at once,
// and the coroutines waiting for them go on with that error; the browser's end orphans them,
// so that none goes on into a browser that is gone.
class EngineCalls {
public:
    EngineCalls() = default;
    ~EngineCalls();
    EngineCalls(const EngineCalls&) = delete;
    EngineCalls& operator=(const EngineCalls&) = delete;

    // Throws VistrelError on time-out or abort.
    QCoro::Task<> Await(EngineWait& wait);
    // Lets the engine work for a while.
    QCoro::Task<> Pause(int milliseconds);
    // Work done on another thread (decoding, deflating), awaited without holding the thread.
    template <typename T> QCoro::Task<T> Result(QFuture<T> future, const QString& what);

    void AbortAll(const QString& reason);
    // The coroutines waiting now are never resumed: whoever awaited the calls is gone.
    void OrphanAll();

private:
    struct Entry {
        std::function<void(const QString&)> abort;
        std::function<void()> orphan;
    };
    QHash<int, Entry> FUnderWay;
    int FNext = 0;
};

template <typename T> QCoro::Task<T> EngineCalls::Result(QFuture<T> future, const QString& what) {
    if (!future.isFinished()) {
        // work on the pool ends on its own: the limit only names it should it never end
        EngineWait wait(what, 24 * 3600 * 1000);
        auto* watcher = new QFutureWatcher<T>;
        QObject::connect(watcher, &QFutureWatcherBase::finished, watcher,
                         [watcher, finish = wait.Finisher()] {
                             finish();
                             watcher->deleteLater();
                         });
        watcher->setFuture(future);
        co_await Await(wait);
    }
    if constexpr (!std::is_void_v<T>)
        co_return future.result();
}
