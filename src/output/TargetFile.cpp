#include "output/TargetFile.h"

#include "common/SaveFileCommit.h"
#include "common/VistrelError.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <exception>
#include <new>

namespace {

VistrelError CannotWrite(const QString& target, const QString& reason) {
    return VistrelError(QStringLiteral("Cannot write %1: %2").arg(target, reason));
}

// QSaveFile would rename its file over a device, pipe or socket (followed through a link), so
// root saving to a link to /dev/full would replace the device: only regular files are replaced.
void RefuseSpecialFile(const QString& target) {
    const QFileInfo info(target);
    if (info.exists() && !info.isFile() && !info.isDir())
        throw CannotWrite(target, QStringLiteral("not a regular file"));
}

} // namespace

QString FolderPart(const QString& name) {
    return name.left(name.lastIndexOf(QLatin1Char('/')) + 1);
}

void EnsureTargetFolder(const QString& name) {
    const QString folder = FolderPart(name);
    if (folder.isEmpty() || QFileInfo(folder).isDir())
        return;
    if (!QDir().mkpath(folder))
        throw VistrelError(QStringLiteral("Cannot create folder \"%1\"").arg(folder));
}

void WriteFileAtomically(const QString& target, const std::function<void(QIODevice&)>& write) {
    RefuseSpecialFile(target);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        throw CannotWrite(target, file.errorString());
    // The temporary file is removed when `file` goes out of scope uncommitted.
    try {
        write(file);
    } catch (const VistrelError& error) {
        file.cancelWriting();
        throw CannotWrite(target, error.message());
    } catch (const std::bad_alloc&) {
        file.cancelWriting();
        throw CannotWrite(target, QStringLiteral("Not enough memory"));
    } catch (const std::exception& error) {
        file.cancelWriting();
        throw CannotWrite(target, QString::fromLocal8Bit(error.what()));
    }
    QString reason;
    if (!CommitComplete(file, &reason))
        throw CannotWrite(target, reason);
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
