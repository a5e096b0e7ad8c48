// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// What the fixture answers on one path.
struct HttpRoute {
    enum class Kind {
        Page,      // status, content type and body as given
        Redirect,  // status (301, 302, ...) with Location
        Stalled,   // headers promising more than ever comes, the body, then trickle or silence
        Silent,    // the request is read, never answered
        BasicAuth, // 401 with a Basic challenge unless the credentials match
        Download,  // Content-Disposition: attachment
        Reflect,   // a page whose "{{Name}}" marks are the request's headers of that name
    };
    Kind kind = Kind::Page;
    int status = 200;
    QByteArray contentType = "text/html; charset=utf-8";
    QByteArray body;
    QByteArray location;          // Redirect
    int delayMs = 0;              // wait before answering at all
    int trickleMs = 0;            // Stalled: one more byte this often, forever; 0 = stall
    QByteArray user, password;    // BasicAuth
    QByteArray realm = "Vistrel"; // BasicAuth
    QByteArray fileName;          // Download
    QList<QPair<QByteArray, QByteArray>> headers; // added to the answer
};
