// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/EngineWait.h"

#include "common/VistrelError.h"

#include <QCoreApplication>
#include <QTimer>

struct EngineWait::State : std::enable_shared_from_this<State> {
    QString what;
    bool finished = false;
    bool timedOut = false;
    bool orphaned = false;
    QString failure;
    std::coroutine_handle<> waiter;
    QTimer limit;

    void End(bool here = false) {
        finished = true;
        limit.stop();
        if (!waiter)
            return;
        if (here) {
            if (!orphaned)
                std::exchange(waiter, {}).resume();
            return;
        }
        // held by the call, so that the coroutine may let go of the wait as it goes on
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self = shared_from_this()] {
                const std::coroutine_handle<> resumed = std::exchange(self->waiter, {});
                if (resumed && !self->orphaned)
                    resumed.resume();
            },
            Qt::QueuedConnection);
    }
};

EngineWait::EngineWait(QString what, int timeLimitMs) : FState(std::make_shared<State>()) {
    FState->what = std::move(what);
    FState->limit.setSingleShot(true);
    FState->limit.setInterval(timeLimitMs);
    QObject::connect(&FState->limit, &QTimer::timeout, [state = FState.get()] {
        if (state->finished)
            return;
        state->timedOut = true;
        state->End();
    });
}

EngineWait::~EngineWait() {
    // a late answer finds nothing to resume
    FState->waiter = {};
    FState->limit.stop();
}

std::function<void()> EngineWait::Finisher() const {
    return [state = FState] {
        if (!state->finished)
            state->End();
    };
}

std::function<void()> EngineWait::FinisherHere() const {
    return [state = FState] {
        if (!state->finished)
            state->End(true);
    };
}

std::function<void(const QString&)> EngineWait::Aborter() const {
    return [state = FState](const QString& reason) {
        if (state->finished)
            return;
        state->failure = reason;
        state->End();
    };
}

std::function<void()> EngineWait::Orphaner() const {
    return [state = FState] {
        state->orphaned = true;
        state->limit.stop();
    };
}

bool EngineWait::Finished() const {
    return FState->finished;
}

bool EngineWait::TimedOut() const {
    return FState->timedOut;
}

bool EngineWait::Awaiter::await_ready() const {
    return FState->finished;
}

void EngineWait::Awaiter::await_suspend(std::coroutine_handle<> waiter) const {
    FState->waiter = waiter;
    FState->limit.start();
}

void EngineWait::Awaiter::await_resume() const {
    if (!FState->failure.isEmpty())
        throw VistrelError(FState->failure);
    if (FState->timedOut)
        throw VistrelError(
            QStringLiteral("The page did not answer in time (%1)").arg(FState->what));
}
