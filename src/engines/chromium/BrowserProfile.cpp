// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/chromium/BrowserProfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char NamePrefix[] = "vistrel-chromium-";
constexpr qint64 LeftoverAgeSeconds = 60;

QString OwnerFile(const QString& folder) {
    return folder + u'/' + QLatin1String(BrowserProfile::OwnerFileName);
}

bool WriteOwner(const QString& folder) {
    const int fd = open(QFile::encodeName(OwnerFile(folder)).constData(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const QByteArray pid = QByteArray::number(qint64(getpid())) + '\n';
    const bool written = write(fd, pid.constData(), size_t(pid.size())) == pid.size();
    return close(fd) == 0 && written;
}

bool ProcessGone(qint64 pid) {
    return pid > 0 && kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

// Only a mark this user wrote, whose run has ended a while ago: a folder of another user, or
// of a run still going, is none of ours.
bool IsLeftover(const QString& folder) {
    struct stat folderInfo {};
    struct stat ownerInfo {};
    if (lstat(QFile::encodeName(folder).constData(), &folderInfo) != 0 ||
        !S_ISDIR(folderInfo.st_mode) ||
        lstat(QFile::encodeName(OwnerFile(folder)).constData(), &ownerInfo) != 0 ||
        !S_ISREG(ownerInfo.st_mode) || ownerInfo.st_uid != geteuid())
        return false;
    if (QDateTime::currentSecsSinceEpoch() - ownerInfo.st_mtime < LeftoverAgeSeconds)
        return false;
    QFile owner(OwnerFile(folder));
    if (!owner.open(QIODevice::ReadOnly))
        return false;
    bool ok = false;
    const qint64 pid = owner.readLine(32).trimmed().toLongLong(&ok);
    return ok && ProcessGone(pid);
}

} // namespace

BrowserProfile::BrowserProfile(const QString& parent)
    : FFolder(parent + u'/' + QLatin1String(NamePrefix) + QStringLiteral("XXXXXX")) {
    FMarked = FFolder.isValid() && WriteOwner(FFolder.path());
}

int BrowserProfile::RemoveLeftovers(const QString& parent) {
    int removed = 0;
    const QStringList names = QDir(parent).entryList({QLatin1String(NamePrefix) + u'*'},
                                                     QDir::Dirs | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : names) {
        const QString folder = parent + u'/' + name;
        // removeRecursively deletes links, never what they point to
        if (IsLeftover(folder) && QDir(folder).removeRecursively())
            ++removed;
    }
    return removed;
}
