// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <memory>

// Waits for an answer that the engine delivers through the event loop: runs a nested loop that
// takes no user input, up to a time limit. Only one wait can run at a time in a thread, so that a
// handler run from inside the loop cannot start a second capture step under the first.
class EngineWait {
public:
    EngineWait(QString what, int timeLimitMs);
    ~EngineWait();
    EngineWait(const EngineWait&) = delete;
    EngineWait& operator=(const EngineWait&) = delete;

    // Ends the wait; safe to call from a callback that outlives the wait.
    std::function<void()> Finisher() const;
    // Ends the wait with an error: what was waited for will never come.
    std::function<void(const QString&)> Aborter() const;
    bool Finished() const;

    // Returns at once when already finished. Throws VistrelError on time-out, abort or
    // re-entry.
    void Wait();

    static bool Busy();

private:
    struct State;
    std::shared_ptr<State> FState;
    QString FWhat;
    int FTimeLimitMs;
};
