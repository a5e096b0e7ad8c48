// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <mutex>

// How many top rows of a picture still being made are final, for a writer on another thread:
// it may read a row only once the gate has opened past it.
class RowGate {
public:
    // Rows [0, rows) are final; the gate never closes again.
    void Open(int rows);
    // The picture will never be finished: every waiter gives up.
    void Abort();
    // Blocks until rows [0, rows) are final; throws VistrelError when aborted.
    void WaitFor(int rows) const;
    bool Ready(int rows) const;

private:
    mutable std::mutex FMutex;
    mutable std::condition_variable FChanged;
    int FRows = 0;
    bool FAborted = false;
};
