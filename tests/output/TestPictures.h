// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// A picture whose neighbouring pixels all differ, so swapped channels, flipped rows or shifted
// columns show up in a comparison.
inline QImage PatternPicture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = uchar(x * 7 + y * 3);
            row[3 * x + 1] = uchar(x * 5 + y * 11 + 40);
            row[3 * x + 2] = uchar(x * 13 + y * 17 + 90);
        }
    }
    return picture;
}

inline QImage FilledPicture(int width, int height, QRgb color) {
    QImage picture(width, height, QImage::Format_RGB888);
    picture.fill(QColor::fromRgb(color));
    return picture;
}
