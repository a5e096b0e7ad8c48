// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchResume.h"

#include <QFileInfo>

bool BatchLineWritten(const QStringList& files, const QDateTime& batchChanged) {
    if (files.isEmpty())
        return false;
    for (const QString& name : files) {
        const QFileInfo file(name);
        if (!file.isFile() || file.lastModified() <= batchChanged)
            return false;
    }
    return true;
}
