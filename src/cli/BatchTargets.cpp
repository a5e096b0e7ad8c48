// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchTargets.h"

#include <QDir>

BatchTargets::Outcome BatchTargets::Take(int number, const QStringList& arguments,
                                         const QStringList& files) {
    QStringList paths;
    for (const QString& file : files) {
        const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(file));
        const auto owner = FOwners.constFind(path);
        if (owner == FOwners.constEnd()) {
            paths << path;
            continue;
        }
        const Claim claim = owner->arguments == arguments ? Claim::Repeat : Claim::Taken;
        return {claim, owner->line, file};
    }
    for (const QString& path : paths)
        FOwners.insert(path, {number, arguments});
    return {};
}
