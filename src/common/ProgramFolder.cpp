#include "common/ProgramFolder.h"

#include <QCoreApplication>

QString ProgramFolder() {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}
