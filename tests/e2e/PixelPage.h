// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

// A page whose every pixel has its own colour, drawn by canvases in the page itself, and the
// check that a picture shows exactly that page. Red follows x, green follows y, blue holds the
// next bits of both; a frame shows the same pattern inverted, from its own top left corner.
struct PixelPage {
    QSize Size;
    bool Quirks = false;
    QRect Frame; // where an inner frame sits on the page; empty for none
    bool RightToLeft = false;
    double Scale = 1; // device pixels per page pixel of the picture
    int Block = 1;    // page pixels of one colour along each side, from the top left corner

    // `script`: the page's own, run once it is drawn.
    QString Html(const QString& frameName, const QString& script = {}) const;
    static QString FrameHtml(const QSize& size);
    // Writes the page (and its frame's page) into folder; returns the page's file.
    QString WriteTo(const QString& folder, const QString& name, const QString& script = {}) const;

    QRgb Expected(int x, int y) const;
    // "" when the picture is the page: same size as layout (times the scale), every pixel as the
    // page has it.
    QString Compare(const QImage& picture, const QSize& pictureSize) const;
};
