// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <coroutine>
#include <functional>
#include <memory>

// An answer that the engine delivers later through the event loop, awaited by a coroutine
// (`co_await wait.Answer()`): it goes on once the answer came, the wait was aborted, or the time
// limit passed, and throws VistrelError for the last two. It goes on from the event loop, never
// from inside the callback that answered, so the answering engine is not re-entered. A wait whose
// owner has gone (Orphan) never goes on: nothing of the owner is touched again.
class EngineWait {
public:
    EngineWait(QString what, int timeLimitMs);
    ~EngineWait();
    EngineWait(const EngineWait&) = delete;
    EngineWait& operator=(const EngineWait&) = delete;

    // Ends the wait; safe to call from a callback that outlives the wait, and more than once.
    std::function<void()> Finisher() const;
    // Ends the wait and goes on at once, inside the call: for marks of the waiter's own, never
    // for an engine's callback.
    std::function<void()> FinisherHere() const;
    // Ends the wait with an error: what was waited for will never come.
    std::function<void(const QString&)> Aborter() const;
    // The coroutine that waits is never resumed.
    std::function<void()> Orphaner() const;
    bool Finished() const;
    // Ended by its time limit, not by an answer or an abort.
    bool TimedOut() const;

private:
    struct State;

public:
    class Awaiter {
    public:
        explicit Awaiter(std::shared_ptr<State> state) : FState(std::move(state)) {}
        bool await_ready() const;
        void await_suspend(std::coroutine_handle<> waiter) const;
        void await_resume() const;

    private:
        std::shared_ptr<State> FState;
    };
    Awaiter Answer() const { return Awaiter(FState); }

private:
    std::shared_ptr<State> FState;
};
