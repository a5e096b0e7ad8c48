// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLineMessage.h"

#include <QRegularExpression>
#include <QStringList>

QString StderrLine(const QString& message) {
    static const QRegularExpression lineBreak(QStringLiteral("[\r\n]+"));
    QStringList parts;
    for (const QString& line : message.split(lineBreak)) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty()) {
            parts << trimmed;
        }
    }
    return QStringLiteral("vistrel-pro: ") + parts.join(u' ') + u'\n';
}
