// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/IhdrChunk.h"

#include "common/VistrelError.h"
#include "png/PngWriter.h"

IhdrChunk::IhdrChunk(PngWriter& owner) : PngChunk(owner, "IHDR") {}

void IhdrChunk::SetImage(const QImage& bitmap) {
    if (bitmap.isNull() || bitmap.width() <= 0 || bitmap.height() <= 0) {
        throw VistrelError(QStringLiteral("The picture is empty (it has no width or height)"));
    }
    // Shares the pixels when the picture is already 24-bit: no second copy of a tall page.
    FImage = bitmap.format() == QImage::Format_RGB888
                 ? bitmap
                 : bitmap.convertToFormat(QImage::Format_RGB888);
    if (FImage.isNull()) {
        throw VistrelError(QStringLiteral("Not enough memory to convert the picture"));
    }
    FWidth = quint32(FImage.width());
    FHeight = quint32(FImage.height());
    FInterlaceMethod = quint8(PngWriter::InterlaceMethod);
}

QByteArray IhdrChunk::Data() const {
    QByteArray data(13, '\0');
    PutBigEndian32(data.data(), FWidth);
    PutBigEndian32(data.data() + 4, FHeight);
    data[8] = char(FBitDepth);
    data[9] = char(FColorType);
    data[10] = char(FCompressionMethod);
    data[11] = char(FFilterMethod);
    data[12] = char(FInterlaceMethod);
    return data;
}
