#include "capture/PageAddress.h"

#include <QUrl>

QString PageAddressProblem(const QString& address) {
    const QString typed = address.trimmed();
    if (typed.isEmpty())
        return QStringLiteral("Please type the address of a web page");
    const QUrl url = QUrl::fromUserInput(typed);
    if (!url.isValid())
        return QStringLiteral("\"%1\" is not a web address").arg(typed);
    static const QStringList usable{"http", "https", "file", "about", "data"};
    if (!usable.contains(url.scheme().toLower()))
        return QStringLiteral("The browser cannot open \"%1\" addresses: %2")
            .arg(url.scheme(), typed);
    return {};
}
