// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

enum class ColorScheme { PageDefault, Light, Dark };

struct HttpHeader {
    QByteArray name;
    QByteArray value;
    bool operator==(const HttpHeader&) const = default;
};

// One line of a Netscape cookies.txt file.
struct PageCookie {
    QString domain; // as written: ".example.org" also matches its subdomains
    QString path = QStringLiteral("/");
    bool secure = false;
    bool httpOnly = false;
    qint64 expires = 0; // seconds since 1970; 0 for a cookie of the session
    QByteArray name;
    QByteArray value;
    bool operator==(const PageCookie&) const = default;
};

// What a script or a list asks of the page beyond its address and size. Every member left at its
// default costs nothing.
struct CaptureControls {
    // After the load, within its time limit: until an element matching this has a box, then
    // until this expression (a promise is awaited) is truthy.
    QString waitForSelector;
    QString waitUntilScript;
    // After the waits, before the first screen.
    int delayMs = 0;
    // Run in the page's own world after the waits; a promise is awaited.
    QString pageScript;
    // Elements left out of the picture (display: none) while it is taken.
    QStringList hiddenSelectors;
    // The picture is this element's box, grown by the padding, instead of the whole page.
    QString elementSelector;
    int elementPadding = 0;
    // Device pixels per page pixel.
    double scale = 1;
    QString userAgent;
    QList<HttpHeader> headers;
    QList<PageCookie> cookies;
    ColorScheme colorScheme = ColorScheme::PageDefault;
    bool reducedMotion = false;
    // A main document answered with HTTP 400 or above fails the load.
    bool failOnHttpError = false;

    bool operator==(const CaptureControls&) const = default;
};

// What the capture learnt of the page it captured; empty where it learnt nothing.
struct PageFacts {
    QString finalAddress; // after redirects
    int httpStatus = 0;   // of the main document; 0 when unknown (a file, an engine that hides it)
    QString title;
};
