// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/FollowedLinks.h"

#include "common/VistrelError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Followed(const struct stat& link) {
    return link.st_uid == geteuid() || link.st_uid == 0;
}

// "/a/b/c" -> "/a", "/a/b", "/a/b/c": each is looked at as the kernel will meet it.
QStringList PrefixesOf(const QString& path) {
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    QStringList prefixes;
    for (qsizetype slash = absolute.indexOf(u'/', 1); slash > 0;
         slash = absolute.indexOf(u'/', slash + 1))
        prefixes << absolute.left(slash);
    if (absolute != u"/")
        prefixes << absolute;
    return prefixes;
}

bool LookAt(const QString& path, struct stat* info) {
    return lstat(QFile::encodeName(path).constData(), info) == 0;
}

QString LinkReason(const QString& link, uid_t owner) {
    return QStringLiteral("%1 is a symbolic link of user %2, not followed").arg(link).arg(owner);
}

} // namespace

QString UnfollowedLinkOn(const QString& path) {
    for (const QString& prefix : PrefixesOf(path)) {
        struct stat info {};
        if (!LookAt(prefix, &info))
            return {}; // what is missing is created later, not followed
        if (S_ISLNK(info.st_mode) && !Followed(info))
            return prefix;
    }
    return {};
}

QString UnfollowedLinkReason(const QString& path) {
    const QString link = UnfollowedLinkOn(path);
    struct stat info {};
    if (link.isEmpty() || !LookAt(link, &info))
        return {};
    return LinkReason(link, info.st_uid);
}

void MakeFolderPath(const QString& folder) {
    const auto cannot = [&folder](const QString& why = QString()) {
        return VistrelError(QStringLiteral("Cannot create folder \"%1\"").arg(folder) +
                            (why.isEmpty() ? QString() : QStringLiteral(": ") + why));
    };
    for (const QString& prefix : PrefixesOf(folder)) {
        struct stat info {};
        // another run may create it at the same moment
        if (!LookAt(prefix, &info) &&
            ((mkdir(QFile::encodeName(prefix).constData(), 0777) != 0 && errno != EEXIST) ||
             !LookAt(prefix, &info)))
            throw cannot();
        if (S_ISLNK(info.st_mode) && !Followed(info))
            throw cannot(LinkReason(prefix, info.st_uid));
        if (!QFileInfo(prefix).isDir())
            throw cannot();
    }
}
