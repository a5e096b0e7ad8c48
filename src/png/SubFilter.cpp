// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/SubFilter.h"

#include <cstring>

namespace SubFilter {

void FilterRow(const uchar* __restrict raw, uchar* __restrict out, qsizetype rowBytes,
               int bytesPerPixel) {
    out[0] = FilterType;
    uchar* __restrict filtered = out + 1;
    const qsizetype head = qMin<qsizetype>(bytesPerPixel, rowBytes);
    std::memcpy(filtered, raw, size_t(head));
    for (qsizetype i = head; i < rowBytes; ++i) {
        filtered[i] = uchar(raw[i] - raw[i - bytesPerPixel]);
    }
}

void FilterRows(const QImage& image, int first, int last, uchar* out) {
    const qsizetype rowBytes = qsizetype(image.width()) * 3;
    for (int y = first; y < last; ++y) {
        FilterRow(image.constScanLine(y), out, rowBytes, 3);
        out += rowBytes + 1;
    }
}

} // namespace SubFilter
