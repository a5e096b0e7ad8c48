// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/RowGate.h"

#include "common/VistrelError.h"

void RowGate::Open(int rows) {
    {
        const std::lock_guard lock(FMutex);
        if (rows <= FRows)
            return;
        FRows = rows;
    }
    FChanged.notify_all();
}

void RowGate::Abort() {
    {
        const std::lock_guard lock(FMutex);
        FAborted = true;
    }
    FChanged.notify_all();
}

void RowGate::WaitFor(int rows) const {
    std::unique_lock lock(FMutex);
    FChanged.wait(lock, [this, rows] { return FAborted || FRows >= rows; });
    if (FAborted)
        throw VistrelError(QStringLiteral("The picture was not finished"));
}

bool RowGate::Ready(int rows) const {
    const std::lock_guard lock(FMutex);
    return FRows >= rows;
}
