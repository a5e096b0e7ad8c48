// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ProgramFolder.h"

#include <QCoreApplication>

QString ProgramFolder() {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}
