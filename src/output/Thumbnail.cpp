// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/Thumbnail.h"

#include "common/VistrelError.h"
#include "output/ColorRef.h"
#include "output/PictureCrop.h"
#include "output/ThumbnailScaler.h"

namespace {

// 32-bit products divided with the remainder dropped, as the sizes were always computed.
int Percentage(int side, int percent) {
    return static_cast<int>(static_cast<qint64>(side) * percent / 100);
}

} // namespace

QImage BuildThumbnail(const QImage& picture, const ThumbnailOptions& options) {
    QImage source = picture;
    QSize size;
    if (options.byWidthAndHeight) {
        size = QSize(options.width, options.height);
    } else {
        if (options.crop) {
            source = ChangeHeight(source, options.cropHeight);
        }
        size = QSize(Percentage(source.width(), options.percent),
                     Percentage(source.height(), options.percent));
    }
    QRect sourceRect = source.rect();
    if (options.crop && options.cropHeight < sourceRect.height()) {
        sourceRect.setHeight(options.cropHeight);
    }
    if (size.isEmpty() || sourceRect.isEmpty()) {
        throw VistrelError(QStringLiteral("The thumbnail would be empty (%1 x %2 pixels)")
                               .arg(size.width())
                               .arg(size.height()));
    }
    QImage thumbnail = options.smooth ? StretchHalftone(source, sourceRect, size)
                                      : StretchBlackOnWhite(source, sourceRect, size);
    if (options.border) {
        DrawFrame(thumbnail, ColorRef::ToColor(options.borderColor).rgb());
    }
    return thumbnail;
}
