// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/EngineWait.h"

#include "common/VistrelError.h"

#include <QEventLoop>
#include <QTimer>

namespace {
// Each thread's captures wait on their own: a batch run captures pages of Chromium on threads.
thread_local bool waiting = false;
} // namespace

struct EngineWait::State {
    bool finished = false;
    QString failure;
    QEventLoop* loop = nullptr;
};

EngineWait::EngineWait(QString what, int timeLimitMs)
    : FState(std::make_shared<State>()), FWhat(std::move(what)), FTimeLimitMs(timeLimitMs) {}

EngineWait::~EngineWait() {
    FState->loop = nullptr;
}

std::function<void()> EngineWait::Finisher() const {
    return [state = FState] {
        state->finished = true;
        if (state->loop)
            state->loop->quit();
    };
}

std::function<void(const QString&)> EngineWait::Aborter() const {
    return [state = FState](const QString& reason) {
        state->failure = reason;
        state->finished = true;
        if (state->loop)
            state->loop->quit();
    };
}

bool EngineWait::Finished() const {
    return FState->finished;
}

bool EngineWait::Busy() {
    return waiting;
}

void EngineWait::Wait() {
    if (!FState->failure.isEmpty())
        throw VistrelError(FState->failure);
    if (FState->finished)
        return;
    if (waiting)
        throw VistrelError(QStringLiteral("The browser is still busy with an earlier request"));
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(FTimeLimitMs);
    FState->loop = &loop;
    waiting = true;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    waiting = false;
    FState->loop = nullptr;
    if (!FState->failure.isEmpty())
        throw VistrelError(FState->failure);
    if (!FState->finished)
        throw VistrelError(QStringLiteral("The page did not answer in time (%1)").arg(FWhat));
}
