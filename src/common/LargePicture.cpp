// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/LargePicture.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t HugePage = size_t(2) << 20;

void FreePicture(void* data) {
    std::free(data);
}

} // namespace

QImage NewLargePicture(const QSize& size, QImage::Format format, uchar fill) {
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qsizetype bytesPerLine = ((qsizetype(size.width()) * depth + 31) / 32) * 4;
    const size_t bytes = size_t(bytesPerLine) * size_t(std::max(0, size.height()));
    if (size.isEmpty() || bytes < HugePage) {
        QImage picture(size, format);
        if (!picture.isNull())
            std::memset(picture.bits(), fill, picture.sizeInBytes());
        return picture;
    }
    void* data = nullptr;
    const size_t rounded = (bytes + HugePage - 1) / HugePage * HugePage;
    if (posix_memalign(&data, HugePage, rounded) != 0)
        return QImage();
    // Only advice: without huge pages the picture is made the ordinary way.
    madvise(data, rounded, MADV_HUGEPAGE);
    std::memset(data, fill, bytes);
    return QImage(static_cast<uchar*>(data), size.width(), size.height(), bytesPerLine, format,
                  FreePicture, data);
}
