// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/BmpFile.h"

#include "common/VistrelError.h"
#include "common/TargetFile.h"

#include <QFile>
#include <QtEndian>

#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;
constexpr int HeadersSize = FileHeaderSize + InfoHeaderSize;
constexpr quint32 BiRgb = 0;
constexpr quint32 BiBitfields = 3;
// Enough for the largest info header (V5, 124 bytes) followed by three colour masks.
constexpr qint64 HeaderReadSize = FileHeaderSize + 124 + 12;
// Rows are moved in batches of about this many bytes: big enough for few calls, small
// enough that a long page does not need a second copy of itself.
constexpr qint64 BatchBytes = 1 << 20;

qint64 BmpStride(qint64 width, int bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

void WriteHeaders(const QImage& picture, quint32 pixelBytes, QIODevice& device) {
    uchar h[HeadersSize] = {};
    h[0] = 'B';
    h[1] = 'M';
    qToLittleEndian<quint32>(HeadersSize + pixelBytes, h + 2);
    qToLittleEndian<quint32>(HeadersSize, h + 10);
    qToLittleEndian<quint32>(InfoHeaderSize, h + 14);
    qToLittleEndian<qint32>(picture.width(), h + 18);
    qToLittleEndian<qint32>(picture.height(), h + 22);
    qToLittleEndian<quint16>(1, h + 26);
    qToLittleEndian<quint16>(24, h + 28);
    qToLittleEndian<quint32>(BiRgb, h + 30);
    qToLittleEndian<quint32>(pixelBytes, h + 34);
    // Resolution and colour counts stay 0.
    WriteAll(device, reinterpret_cast<const char*>(h), HeadersSize);
}

void PutBgrRow(const uchar* rgb, int width, uchar* out) {
    for (int x = 0; x < width; ++x, rgb += 3, out += 3) {
        out[0] = rgb[2];
        out[1] = rgb[1];
        out[2] = rgb[0];
    }
}

void WriteRows(const QImage& rgb, qint64 stride, QIODevice& device) {
    const int rowsPerBatch = int(qMax<qint64>(1, BatchBytes / stride));
    std::vector<uchar> batch(size_t(stride) * rowsPerBatch, 0);
    for (int done = 0; done < rgb.height();) {
        const int n = qMin(rowsPerBatch, rgb.height() - done);
        for (int i = 0; i < n; ++i)
            PutBgrRow(rgb.constScanLine(rgb.height() - 1 - done - i), rgb.width(),
                      batch.data() + i * stride);
        WriteAll(device, reinterpret_cast<const char*>(batch.data()), n * stride);
        done += n;
    }
}

struct BmpLayout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    qint64 dataOffset = 0;
    qint64 stride = 0;
};

[[noreturn]] void Refuse(const QString& path, const QString& reason) {
    throw VistrelError(QStringLiteral("Cannot read picture %1: %2").arg(path, reason));
}

quint32 Le32(const QByteArray& h, int at) {
    return qFromLittleEndian<quint32>(h.constData() + at);
}

quint16 Le16(const QByteArray& h, int at) {
    return qFromLittleEndian<quint16>(h.constData() + at);
}

// 32-bit files are often marked as bit fields with the plain blue-green-red masks; those hold
// exactly the uncompressed layout.
bool PlainBitfields(const QByteArray& h, qint64 infoSize, qint64 dataOffset) {
    const qint64 masksAt = FileHeaderSize + InfoHeaderSize;
    if (infoSize == InfoHeaderSize && dataOffset < masksAt + 12)
        return false;
    if (h.size() < masksAt + 12)
        return false;
    return Le32(h, masksAt) == 0x00FF0000u && Le32(h, masksAt + 4) == 0x0000FF00u &&
           Le32(h, masksAt + 8) == 0x000000FFu;
}

void CheckCompression(const QString& path, const QByteArray& h, const BmpLayout& layout,
                      qint64 infoSize) {
    const quint32 compression = Le32(h, 30);
    if (compression == BiRgb)
        return;
    if (compression == BiBitfields && layout.bitsPerPixel == 32 &&
        PlainBitfields(h, infoSize, layout.dataOffset))
        return;
    Refuse(path,
           QStringLiteral("compressed BMP files (method %1) are not supported").arg(compression));
}

void CheckSize(const QString& path, const BmpLayout& layout, qint64 fileSize) {
    const qint64 available = fileSize - layout.dataOffset;
    // Compared by division so that no field, however large, can overflow the product.
    if (layout.stride > available || layout.height > available / layout.stride)
        Refuse(path, QStringLiteral("the file is truncated (%1 x %2 pixels need %3 bytes a row "
                                    "from offset %4; the file has %5 bytes)")
                         .arg(layout.width)
                         .arg(layout.height)
                         .arg(layout.stride)
                         .arg(layout.dataOffset)
                         .arg(fileSize));
}

BmpLayout ParseHeaders(const QString& path, const QByteArray& h, qint64 fileSize) {
    if (fileSize == 0)
        Refuse(path, QStringLiteral("the file is empty"));
    if (h.size() < 2 || h[0] != 'B' || h[1] != 'M')
        Refuse(path, QStringLiteral("not a BMP file"));
    if (h.size() < FileHeaderSize + 4)
        Refuse(path, QStringLiteral("the file is truncated (no header)"));
    const qint64 infoSize = Le32(h, 14);
    if (infoSize < InfoHeaderSize)
        Refuse(path, QStringLiteral("unsupported BMP header of %1 bytes").arg(infoSize));
    if (h.size() < HeadersSize || FileHeaderSize + infoSize > fileSize)
        Refuse(path, QStringLiteral("the file is truncated (incomplete header)"));

    BmpLayout layout;
    layout.dataOffset = Le32(h, 10);
    if (layout.dataOffset < FileHeaderSize + infoSize || layout.dataOffset > fileSize)
        Refuse(path, QStringLiteral("invalid pixel data offset %1").arg(layout.dataOffset));
    const qint32 width = qint32(Le32(h, 18));
    const qint32 height = qint32(Le32(h, 22));
    if (width <= 0 || height == 0 || height == std::numeric_limits<qint32>::min())
        Refuse(path, QStringLiteral("invalid picture size %1 x %2").arg(width).arg(height));
    layout.width = width;
    layout.topDown = height < 0;
    layout.height = layout.topDown ? -height : height;
    if (Le16(h, 26) != 1)
        Refuse(path, QStringLiteral("invalid number of planes %1").arg(Le16(h, 26)));
    layout.bitsPerPixel = Le16(h, 28);
    if (layout.bitsPerPixel != 24 && layout.bitsPerPixel != 32)
        Refuse(path, QStringLiteral("%1-bit BMP files are not supported (only 24 and 32 bits)")
                         .arg(layout.bitsPerPixel));
    CheckCompression(path, h, layout, infoSize);
    layout.stride = BmpStride(layout.width, layout.bitsPerPixel);
    CheckSize(path, layout, fileSize);
    return layout;
}

void PutRgbRow(const uchar* bgr, int width, int bytesPerPixel, uchar* out) {
    for (int x = 0; x < width; ++x, bgr += bytesPerPixel, out += 3) {
        out[0] = bgr[2];
        out[1] = bgr[1];
        out[2] = bgr[0];
    }
}

void ReadRows(const QString& path, QIODevice& file, const BmpLayout& layout, QImage& picture) {
    if (!file.seek(layout.dataOffset))
        Refuse(path, file.errorString());
    const int rowsPerBatch = int(qMax<qint64>(1, BatchBytes / layout.stride));
    std::vector<char> batch(size_t(layout.stride) * rowsPerBatch);
    const int bytesPerPixel = layout.bitsPerPixel / 8;
    for (int done = 0; done < layout.height;) {
        const int n = qMin(rowsPerBatch, layout.height - done);
        const qint64 bytes = n * layout.stride;
        // The file may have shrunk since its size was checked.
        if (file.read(batch.data(), bytes) != bytes)
            Refuse(path, QStringLiteral("the file is truncated"));
        for (int i = 0; i < n; ++i) {
            const int row = layout.topDown ? done + i : layout.height - 1 - done - i;
            PutRgbRow(reinterpret_cast<const uchar*>(batch.data()) + i * layout.stride,
                      layout.width, bytesPerPixel, picture.scanLine(row));
        }
        done += n;
    }
}

} // namespace

void WriteBmp(const QImage& picture, QIODevice& device) {
    if (picture.isNull())
        throw VistrelError(QStringLiteral("The picture is empty"));
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        throw VistrelError(QStringLiteral("Not enough memory to write the picture"));
    const qint64 stride = BmpStride(rgb.width(), 24);
    const qint64 pixelBytes = stride * rgb.height();
    if (pixelBytes > std::numeric_limits<quint32>::max() - HeadersSize)
        throw VistrelError(QStringLiteral("The picture is too large for a BMP file (%1 x %2)")
                               .arg(rgb.width())
                               .arg(rgb.height()));
    WriteHeaders(rgb, quint32(pixelBytes), device);
    WriteRows(rgb, stride, device);
}

QImage ReadBmp(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw VistrelError(
            QStringLiteral("Cannot open picture %1: %2").arg(path, file.errorString()));
    return ReadBmp(file, path);
}

QImage ReadBmp(QIODevice& device, const QString& name) {
    if (device.isSequential())
        Refuse(name, QStringLiteral("it cannot be read from its start"));
    if (!device.seek(0))
        Refuse(name, device.errorString());
    const qint64 fileSize = device.size();
    const QByteArray headers = device.read(HeaderReadSize);
    const BmpLayout layout = ParseHeaders(name, headers, fileSize);
    QImage picture(layout.width, layout.height, QImage::Format_RGB888);
    if (picture.isNull())
        Refuse(name, QStringLiteral("not enough memory for %1 x %2 pixels")
                         .arg(layout.width)
                         .arg(layout.height));
    ReadRows(name, device, layout, picture);
    return picture;
}
