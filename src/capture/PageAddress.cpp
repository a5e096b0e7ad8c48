// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/PageAddress.h"

#include <QUrl>

QString PageAddressProblem(const QString& address) {
    const QString typed = address.trimmed();
    if (typed.isEmpty())
        return QStringLiteral("Please type the address of a web page");
    const QUrl url = QUrl::fromUserInput(typed);
    if (!url.isValid())
        return QStringLiteral("\"%1\" is not a web address").arg(typed);
    // javascript:, ftp: and the like would wait out the whole load time limit
    static const QStringList usable{"http", "https", "file", "data"};
    const QString scheme = url.scheme().toLower();
    if (!usable.contains(scheme) && url != QUrl(QStringLiteral("about:blank")))
        return QStringLiteral("The browser cannot open \"%1\" addresses: %2")
            .arg(url.scheme(), typed);
    return {};
}
