// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QTemporaryDir>

// A temporary folder whose pages the browser can read: run as root, Chromium runs as an
// unprivileged user, and a temporary folder is private to its owner.
class PageFolder : public QTemporaryDir {
public:
    PageFolder() {
        if (isValid())
            QFile::setPermissions(path(), QFile::permissions(path()) | QFile::ReadOther |
                                              QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    }
};
