// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "png/PngChunk.h"

#include <QImage>

// The header and the picture it describes: true colour, 8 bits a sample, rows top-down in
// red, green, blue order, so rows go to the filter without any reordering.
class IhdrChunk : public PngChunk {
public:
    explicit IhdrChunk(PngWriter& owner);

    void SetImage(const QImage& bitmap);
    const QImage& Image() const { return FImage; }

    quint32 Width() const { return FWidth; }
    quint32 Height() const { return FHeight; }
    quint8 BitDepth() const { return FBitDepth; }
    quint8 ColorType() const { return FColorType; }
    quint8 CompressionMethod() const { return FCompressionMethod; }
    quint8 FilterMethod() const { return FFilterMethod; }
    quint8 InterlaceMethod() const { return FInterlaceMethod; }
    int BytesPerPixel() const { return 3; }
    qsizetype RowBytes() const { return qsizetype(FWidth) * BytesPerPixel(); }

    QByteArray Data() const override;

private:
    QImage FImage;
    quint32 FWidth = 0;
    quint32 FHeight = 0;
    quint8 FBitDepth = 8;
    quint8 FColorType = 2;
    quint8 FCompressionMethod = 0;
    quint8 FFilterMethod = 0;
    quint8 FInterlaceMethod = 0;
};
