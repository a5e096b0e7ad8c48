// SPDX-License-Identifier: GPL-3.0-or-later
#include "FaultTools.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>

namespace Faults {

TmpfsMount::TmpfsMount(const QString& folder, qint64 bytes) : FFolder(folder) {
    if (!QDir().mkpath(folder)) {
        FError = QStringLiteral("cannot make ") + folder;
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
    FMounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                       options.constData()) == 0;
    if (!FMounted)
        FError = QString::fromLocal8Bit(std::strerror(errno));
}

TmpfsMount::~TmpfsMount() {
    if (FMounted)
        ::umount2(QFile::encodeName(FFolder).constData(), MNT_DETACH);
}

qint64 TmpfsMount::FreeBytes() const {
    struct statvfs s {};
    if (::statvfs(QFile::encodeName(FFolder).constData(), &s) != 0)
        return -1;
    return qint64(s.f_bavail) * qint64(s.f_frsize);
}

bool TmpfsMount::FillLeaving(qint64 leave, const QString& fillerName) {
    const qint64 page = 4096;
    const qint64 take = (FreeBytes() - leave) / page * page;
    if (take < 0)
        return false;
    QFile filler(FFolder + QLatin1Char('/') + fillerName);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray block(int(page), 'f');
    for (qint64 done = 0; done < take; done += page)
        if (filler.write(block) != page)
            return false;
    return filler.flush() && FreeBytes() <= leave + page;
}

bool TmpfsMount::RemountReadOnly() {
    return ::mount(nullptr, QFile::encodeName(FFolder).constData(), nullptr, MS_REMOUNT | MS_RDONLY,
                   nullptr) == 0;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage NoisePicture(int width, int height, quint32 seed) {
    QImage picture(width, height, QImage::Format_RGB888);
    quint32 state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < width * 3; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            row[x] = uchar(state >> 24);
        }
    }
    return picture;
}

} // namespace Faults
