// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QString>

// The pages the command-line runs capture. Solid blocks only, so that every pixel of a PNG has
// one exact value to expect.
namespace CliPages {

// 2000 px tall, page-wide: four bands of 500 rows, "b1" at the top to "b4" at the bottom.
inline constexpr int BandsHeight = 2000;
inline constexpr int BandHeight = 500;

QByteArray BandsHtml(const QByteArray& extraBody = {});
// 300 rows of "teal" on white: shorter than every viewport, so the picture is the viewport.
QByteArray ShortHtml();
// One block of "teal", width x height, at the page's top left corner.
QByteArray BlockHtml(int width, int height);

// The colours the checks name: b1..b4, teal, white, black, red, green, blue.
const QHash<QString, QColor>& Colours();

} // namespace CliPages
