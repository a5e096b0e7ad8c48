// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestHelpers.h"

#include "common/VistrelError.h"

#include <QTcpServer>

QString ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const VistrelError& error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

quint16 UnusedPort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}
