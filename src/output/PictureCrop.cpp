// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/PictureCrop.h"

#include "common/VistrelError.h"

#include <cstring>

QImage ChangeHeight(const QImage& picture, int height) {
    if (picture.isNull() || height <= 0)
        return QImage();
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    if (height <= rgb.height())
        return height == rgb.height() ? rgb : rgb.copy(0, 0, rgb.width(), height);
    QImage taller(rgb.width(), height, QImage::Format_RGB888);
    if (taller.isNull())
        throw VistrelError(QStringLiteral("Not enough memory for a picture of %1 x %2 pixels")
                               .arg(rgb.width())
                               .arg(height));
    const size_t rowBytes = size_t(rgb.width()) * 3;
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(taller.scanLine(y), rgb.constScanLine(y), rowBytes);
    for (int y = rgb.height(); y < height; ++y)
        std::memset(taller.scanLine(y), 0xFF, rowBytes);
    return taller;
}
