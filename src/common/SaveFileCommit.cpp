// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SaveFileCommit.h"

#include "common/FollowedLinks.h"
#include "common/VistrelError.h"

#include <exception>
#include <new>

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

bool WriteWholeFile(const QString& path, const std::function<void(QIODevice&)>& write,
                    QString* reason, FileAccess access) {
    const QString refused = UnfollowedLinkReason(path);
    if (!refused.isEmpty()) {
        if (reason) {
            *reason = refused;
        }
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (reason) {
            *reason = file.errorString();
        }
        return false;
    }
    if (access == FileAccess::OwnerOnly &&
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        return Fail(file, reason);
    }
    QString failure;
    try {
        write(file);
    } catch (const VistrelError& error) {
        failure = error.message();
    } catch (const std::bad_alloc&) {
        failure = QStringLiteral("Not enough memory");
    } catch (const std::exception& error) {
        failure = QString::fromLocal8Bit(error.what());
    }
    if (!failure.isEmpty()) {
        file.cancelWriting(); // the temporary file goes with `file`
        if (reason) {
            *reason = failure;
        }
        return false;
    }
    return CommitComplete(file, reason);
}

void WriteAll(QIODevice& device, const char* data, qint64 size) {
    while (size > 0) {
        const qint64 written = device.write(data, size);
        if (written <= 0) {
            throw VistrelError(device.errorString());
        }
        data += written;
        size -= written;
    }
}
