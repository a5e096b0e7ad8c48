// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CookieFile.h"

#include <QFile>
#include <QFileInfo>

#include <cctype>
#include <optional>

namespace {

const QByteArray HttpOnlyMark = QByteArrayLiteral("#HttpOnly_");

std::optional<bool> ReadFlag(const QByteArray& field) {
    if (field == "TRUE")
        return true;
    if (field == "FALSE")
        return false;
    return std::nullopt;
}

std::optional<qint64> ReadExpiry(const QByteArray& field) {
    bool ok = false;
    const qint64 seconds = field.toLongLong(&ok);
    // toLongLong takes a sign and blanks; a file written by a program has neither
    if (!ok || seconds < 0 || field.isEmpty() || !std::isdigit(uchar(field.front())))
        return std::nullopt;
    return seconds;
}

// Empty when the line is a cookie, which is then in `cookie`.
QString ReadCookieLine(QByteArray line, PageCookie& cookie) {
    cookie.httpOnly = line.startsWith(HttpOnlyMark);
    if (cookie.httpOnly)
        line = line.mid(HttpOnlyMark.size());
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != 7)
        return QStringLiteral("expected 7 fields separated by tabs, found %1").arg(fields.size());
    const std::optional<bool> subdomains = ReadFlag(fields.at(1));
    const std::optional<bool> secure = ReadFlag(fields.at(3));
    const std::optional<qint64> expires = ReadExpiry(fields.at(4));
    if (fields.at(0).isEmpty())
        return QStringLiteral("the domain is empty");
    if (!subdomains)
        return QStringLiteral("the second field is TRUE or FALSE (include subdomains)");
    if (!fields.at(2).startsWith('/'))
        return QStringLiteral("the path does not start with /");
    if (!secure)
        return QStringLiteral("the fourth field is TRUE or FALSE (secure)");
    if (!expires)
        return QStringLiteral("the expiry is not a number of seconds");
    cookie.domain = QString::fromUtf8(fields.at(0));
    if (*subdomains && !cookie.domain.startsWith(u'.'))
        cookie.domain.prepend(u'.');
    cookie.path = QString::fromUtf8(fields.at(2));
    cookie.secure = *secure;
    cookie.expires = *expires;
    cookie.name = fields.at(5);
    cookie.value = fields.at(6);
    return {};
}

bool IsComment(const QByteArray& line) {
    return line.trimmed().isEmpty() || (line.startsWith('#') && !line.startsWith(HttpOnlyMark));
}

} // namespace

CookieFileRead ReadCookieText(const QByteArray& text, const QString& fileName) {
    CookieFileRead read;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        if (line.endsWith('\r'))
            line.chop(1);
        if (IsComment(line))
            continue;
        PageCookie cookie;
        if (const QString why = ReadCookieLine(line, cookie); !why.isEmpty()) {
            read.cookies.clear();
            read.error =
                QStringLiteral("--cookies: %1 line %2: %3").arg(fileName).arg(i + 1).arg(why);
            return read;
        }
        read.cookies << cookie;
    }
    return read;
}

CookieFileRead ReadCookieFile(const QString& fileName) {
    QFile file(fileName);
    QString problem;
    if (QFileInfo(fileName).isDir())
        problem = QStringLiteral("it is a folder");
    else if (!file.open(QIODevice::ReadOnly))
        problem = file.errorString();
    if (!problem.isEmpty())
        return {{}, QStringLiteral("--cookies: cannot read %1: %2").arg(fileName, problem)};
    return ReadCookieText(file.readAll(), fileName);
}

bool CookieFitsHost(const PageCookie& cookie, const QString& host) {
    const bool dotted = cookie.domain.startsWith(u'.');
    const QString domain = dotted ? cookie.domain.mid(1) : cookie.domain;
    if (domain.isEmpty() || host.isEmpty())
        return false;
    if (host.compare(domain, Qt::CaseInsensitive) == 0)
        return true;
    return dotted && host.size() > domain.size() && host.endsWith(domain, Qt::CaseInsensitive) &&
           host.at(host.size() - domain.size() - 1) == u'.';
}

QList<PageCookie> CookiesForHost(const QList<PageCookie>& cookies, const QString& host) {
    QList<PageCookie> fitting;
    for (const PageCookie& cookie : cookies) {
        if (CookieFitsHost(cookie, host))
            fitting << cookie;
    }
    return fitting;
}
