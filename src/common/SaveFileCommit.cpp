#include "common/SaveFileCommit.h"

namespace {

// A write that takes only part of the buffer sets no error; the next one fails with the reason,
// so flushing goes on while it makes progress.
bool FlushAll(QSaveFile& file) {
    qint64 left = file.bytesToWrite();
    while (!file.flush()) {
        const qint64 now = file.bytesToWrite();
        if (now >= left) {
            return false;
        }
        left = now;
    }
    return true;
}

bool Fail(QSaveFile& file, QString* reason) {
    if (reason) {
        *reason = file.errorString();
    }
    file.cancelWriting();
    return false;
}

} // namespace

bool CommitComplete(QSaveFile& file, QString* reason) {
    if (!FlushAll(file)) {
        return Fail(file, reason);
    }
    if (!file.commit()) {
        if (reason) {
            *reason = file.errorString();
        }
        return false;
    }
    return true;
}
