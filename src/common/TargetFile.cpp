// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TargetFile.h"

#include "common/FollowedLinks.h"
#include "common/SaveFileCommit.h"
#include "common/VistrelError.h"

#include <QDir>
#include <QFileInfo>

namespace {

VistrelError CannotWrite(const QString& target, const QString& reason) {
    return VistrelError(QStringLiteral("Cannot write %1: %2").arg(target, reason));
}

// QSaveFile would rename its file over a device, pipe or socket (followed through a link), so
// root saving to a link to /dev/full would replace the device: only regular files are replaced.
void RefuseSpecialFile(const QString& target) {
    if (const QString link = UnfollowedLinkReason(target); !link.isEmpty())
        throw CannotWrite(target, link);
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
    if (!folder.isEmpty())
        MakeFolderPath(folder);
}

void WriteFileAtomically(const QString& target, const std::function<void(QIODevice&)>& write,
                         FileAccess access) {
    RefuseSpecialFile(target);
    QString reason;
    if (!WriteWholeFile(target, write, &reason, access))
        throw CannotWrite(target, reason);
}
