// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/WorkingPicture.h"

#include "common/VistrelError.h"
#include "output/BmpFile.h"
#include "common/TargetFile.h"

#include <QDir>
#include <QFileInfo>

QString GetTempFolder() {
    QString folder = QDir::tempPath();
    // Qt answers "" when TMPDIR names no folder; the working picture would then go to "/".
    if (folder.isEmpty()) {
        QString named = qEnvironmentVariable("TMPDIR");
        if (named.isEmpty())
            named = QStringLiteral("/tmp");
        throw VistrelError(
            QStringLiteral("The temporary folder %1 (TMPDIR) does not exist or is not a folder")
                .arg(named));
    }
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString WorkingPicturePath(const QString& tempName) {
    return GetTempFolder() + tempName;
}

QImage LoadWorkingPicture(const QString& tempName) {
    const QString path = WorkingPicturePath(tempName);
    const QFileInfo info(path);
    if (!info.exists())
        throw VistrelError(
            QStringLiteral("The captured picture %1 is missing; capture the page again").arg(path));
    // Opening a pipe put in its place would wait for a writer for ever.
    if (!info.isFile())
        throw VistrelError(
            QStringLiteral("The captured picture %1 is not a regular file; capture the page again")
                .arg(path));
    return ReadBmp(path);
}

void SaveWorkingPicture(const QImage& picture, const QString& tempName) {
    WriteFileAtomically(WorkingPicturePath(tempName),
                        [&picture](QIODevice& device) { WriteBmp(picture, device); },
                        FileAccess::OwnerOnly); // a page somebody else may not see
}

QString BmpSizeLabel(int width, int height) {
    // The label's own factor, not the exact file size (that also counts headers and padding).
    const double kilobytes = double(width) * double(height) * 3.0013 / 1024.0;
    return QStringLiteral("BMP:%1 KB").arg(qint64(kilobytes));
}

QString BmpSizeLabel(const QImage& picture) {
    return BmpSizeLabel(picture.width(), picture.height());
}
