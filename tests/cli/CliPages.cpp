// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliPages.h"

namespace CliPages {

namespace {

const char* const Head = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><style>"
                         "html, body { margin: 0; padding: 0; background: #fff; }"
                         " div { margin: 0; padding: 0; border: 0; }"
                         "</style></head><body>";

QByteArray Css(const QColor& colour) {
    return colour.name().toLatin1();
}

} // namespace

const QHash<QString, QColor>& Colours() {
    static const QHash<QString, QColor> colours{
        {"b1", QColor(40, 60, 200)},    {"b2", QColor(30, 160, 60)},
        {"b3", QColor(200, 30, 30)},    {"b4", QColor(220, 180, 20)},
        {"teal", QColor(20, 140, 150)}, {"white", QColor(255, 255, 255)},
        {"black", QColor(0, 0, 0)},     {"red", QColor(255, 0, 0)},
        {"green", QColor(0, 255, 0)},   {"blue", QColor(0, 0, 255)},
    };
    return colours;
}

QByteArray BandsHtml(const QByteArray& extraBody) {
    QByteArray html = Head;
    for (const char* name : {"b1", "b2", "b3", "b4"}) {
        html += "<div style=\"height: " + QByteArray::number(BandHeight) +
                "px; background: " + Css(Colours().value(name)) + "\"></div>";
    }
    return html + extraBody + "</body></html>\n";
}

QByteArray ShortHtml() {
    return Head + QByteArray("<div style=\"height: 300px; background: ") +
           Css(Colours().value("teal")) + "\"></div></body></html>\n";
}

QByteArray BlockHtml(int width, int height) {
    return Head + QByteArray("<div style=\"width: ") + QByteArray::number(width) +
           "px; height: " + QByteArray::number(height) +
           "px; background: " + Css(Colours().value("teal")) + "\"></div></body></html>\n";
}

} // namespace CliPages
