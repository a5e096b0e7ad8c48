// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/CaptureControls.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The cookies of a Netscape cookies.txt file as curl and wget write it: per line domain,
// include-subdomains (TRUE/FALSE), path, secure (TRUE/FALSE), expiry in seconds (0 for the
// session), name and value, separated by tabs. "#HttpOnly_" before the domain marks an
// httpOnly cookie; other lines starting with '#' and blank lines are comments. A cookie for the
// subdomains gets its domain with a leading dot, the way the browser tells the two apart.
struct CookieFileRead {
    QList<PageCookie> cookies;
    QString error; // "FILE line N: why", or why FILE cannot be read; empty when all is well
};

// `fileName` only names the file in the error.
CookieFileRead ReadCookieText(const QByteArray& text, const QString& fileName);
CookieFileRead ReadCookieFile(const QString& fileName);

// Whether the browser sends the cookie to `host`: the domain without its leading dot, or for a
// dotted domain also any host below it.
bool CookieFitsHost(const PageCookie& cookie, const QString& host);
QList<PageCookie> CookiesForHost(const QList<PageCookie>& cookies, const QString& host);
