// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

// The first `rows` rows of a PNG file (all of them when it has fewer) in QImage::Format_RGB888,
// alpha dropped. A null image when the file is not a PNG that can be read row by row.
QImage ReadPngRows(const QByteArray& file, int rows);
