// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/ColorRef.h"

namespace ColorRef {

QColor ToColor(quint32 colorRef) {
    return QColor(colorRef & 0xff, (colorRef >> 8) & 0xff, (colorRef >> 16) & 0xff);
}

quint32 FromColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16);
}

} // namespace ColorRef
