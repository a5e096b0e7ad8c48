// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLinePaths.h"

#include "common/TargetFile.h"

bool HasSpaceBeforeBackslash(const QString& path) {
    return path.contains(u" \\");
}

QString CannotCreateFolderMessage(const QString& path) {
    return QStringLiteral("Sorry, cannot create folder             \r\n\" ") + FolderPart(path) +
           QStringLiteral(" \"");
}
