// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ProgramSandbox.h"

#include <QDir>

ProgramSandbox::ProgramSandbox() {
    FValid = FDir.isValid() && QDir().mkpath(configHome()) && QDir().mkpath(dataHome()) &&
             QDir().mkpath(tempDir());
}

QProcessEnvironment ProgramSandbox::environment(const QProcessEnvironment& base) const {
    QProcessEnvironment environment = base;
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
    environment.insert(QStringLiteral("TMPDIR"), tempDir());
    return environment;
}
