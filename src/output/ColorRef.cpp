#include "output/ColorRef.h"

QRgb RgbFromColorRef(quint32 colorRef) {
    if (colorRef == ColorAutomatic)
        return qRgb(0, 0, 0);
    return qRgb(int(colorRef & 0xFF), int((colorRef >> 8) & 0xFF), int((colorRef >> 16) & 0xFF));
}

quint32 ColorRefFromRgb(QRgb rgb) {
    return quint32(qRed(rgb)) | quint32(qGreen(rgb)) << 8 | quint32(qBlue(rgb)) << 16;
}
