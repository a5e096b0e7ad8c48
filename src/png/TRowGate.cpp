// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/TRowGate.h"

#include "common/VistrelError.h"

void TRowGate::Open(int rows) {
    {
        const std::lock_guard lock(FMutex);
        if (rows <= FRows)
            return;
        FRows = rows;
    }
    FChanged.notify_all();
}

void TRowGate::Abort() {
    {
        const std::lock_guard lock(FMutex);
        FAborted = true;
    }
    FChanged.notify_all();
}

void TRowGate::WaitFor(int rows) const {
    std::unique_lock lock(FMutex);
    FChanged.wait(lock, [this, rows] { return FAborted || FRows >= rows; });
    if (FAborted)
        throw VistrelError(QStringLiteral("The picture was not finished"));
}

bool TRowGate::Ready(int rows) const {
    const std::lock_guard lock(FMutex);
    return FRows >= rows;
}
