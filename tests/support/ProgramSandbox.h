// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/PageFolder.h"
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// A temporary home for one or more runs of a program: its own XDG_CONFIG_HOME, XDG_DATA_HOME
// and TMPDIR, removed with the sandbox.
class ProgramSandbox {
public:
    ProgramSandbox();

    bool isValid() const { return FValid; }
    QString path() const { return FDir.path(); }
    QString configHome() const { return FDir.filePath(QStringLiteral("config")); }
    QString dataHome() const { return FDir.filePath(QStringLiteral("data")); }
    QString tempDir() const { return FDir.filePath(QStringLiteral("tmp")); }
    QString filePath(const QString& relative) const { return FDir.filePath(relative); }

    QProcessEnvironment
    environment(const QProcessEnvironment& base = QProcessEnvironment::systemEnvironment()) const;

private:
    PageFolder FDir;
    bool FValid = false;
};
