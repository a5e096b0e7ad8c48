// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Independent checks of written PNG files: a chunk parser, zlib's inflate over the joined IDAT
// data, a Sub filter written from the format's definition, and test pictures.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRandomGenerator>
#include <QtEndian>
#include <cstring>
#include <zlib.h>

namespace PngTest {

struct TParsedChunk {
    QByteArray FType;
    QByteArray FData;
    bool FCrcOk = false;
    QByteArray FRaw; // length, type, data and CRC as written
};

struct TParsedPng {
    bool FSignatureOk = false;
    bool FComplete = false; // every chunk whole, nothing after IEND
    QList<TParsedChunk> FChunks;
};

inline TParsedPng Parse(const QByteArray& file) {
    TParsedPng png;
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    png.FSignatureOk = file.startsWith(signature);
    qsizetype at = signature.size();
    while (at + 12 <= file.size()) {
        const quint32 length = qFromBigEndian<quint32>(file.constData() + at);
        if (at + 12 + qsizetype(length) > file.size()) {
            return png;
        }
        TParsedChunk chunk;
        chunk.FType = file.mid(at + 4, 4);
        chunk.FData = file.mid(at + 8, length);
        chunk.FRaw = file.mid(at, 12 + length);
        const quint32 stored = qFromBigEndian<quint32>(file.constData() + at + 8 + length);
        const uLong crc =
            crc32(0L, reinterpret_cast<const Bytef*>(file.constData() + at + 4), uInt(length + 4));
        chunk.FCrcOk = stored == quint32(crc);
        png.FChunks.append(chunk);
        at += 12 + length;
        if (chunk.FType == "IEND") {
            png.FComplete = at == file.size();
            return png;
        }
    }
    return png;
}

inline QByteArray JoinedIdat(const TParsedPng& png) {
    QByteArray joined;
    for (const TParsedChunk& chunk : png.FChunks) {
        if (chunk.FType == "IDAT") {
            joined += chunk.FData;
        }
    }
    return joined;
}

// Returns an empty error text when the data is exactly one complete zlib stream.
inline QString Inflate(const QByteArray& zlibData, QByteArray& out) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return QStringLiteral("inflateInit failed");
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zlibData.constData()));
    stream.avail_in = uInt(zlibData.size());
    out.clear();
    char buffer[65536];
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        result = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
    }
    const uInt left = stream.avail_in;
    inflateEnd(&stream);
    if (result != Z_STREAM_END) {
        return QStringLiteral("inflate stopped with %1").arg(result);
    }
    return left == 0 ? QString() : QStringLiteral("%1 bytes after the stream").arg(left);
}

// Filter type 1: each byte minus the byte one pixel (3 bytes) to its left, 0 before the row.
inline QByteArray SubFiltered(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    const int rowBytes = rgb.width() * 3;
    QByteArray out;
    out.reserve(qsizetype(rowBytes + 1) * rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* row = rgb.constScanLine(y);
        out.append(char(1));
        for (int i = 0; i < rowBytes; ++i) {
            out.append(char(row[i] - (i >= 3 ? row[i - 3] : 0)));
        }
    }
    return out;
}

// Page-like content: white ground, rows that repeat a few rows later (so matches reach back
// across range cuts), gradients and blocks of noise.
inline QImage MakePicture(int width, int height, quint32 seed) {
    QImage picture(width, height, QImage::Format_RGB888);
    QRandomGenerator random(seed);
    QList<QByteArray> patterns;
    for (int i = 0; i < 5; ++i) {
        QByteArray pattern(width * 3, '\xff');
        for (int x = 0; x < width * 3; ++x) {
            if (random.bounded(8) == 0) {
                pattern[x] = char(random.bounded(256));
            }
        }
        patterns.append(pattern);
    }
    for (int y = 0; y < height; ++y) {
        uchar* row = picture.scanLine(y);
        const int band = (y / 97) % 4;
        for (int x = 0; x < width; ++x) {
            uchar* pixel = row + 3 * x;
            if (band == 0) {
                std::memcpy(pixel, patterns[y % 5].constData() + 3 * x, 3);
            } else if (band == 1) {
                pixel[0] = uchar(x * 255 / qMax(1, width - 1));
                pixel[1] = uchar(y);
                pixel[2] = uchar(255 - pixel[0]);
            } else if (band == 2 && x % 200 < 120) {
                const quint32 noise = random.generate();
                pixel[0] = uchar(noise);
                pixel[1] = uchar(noise >> 8);
                pixel[2] = uchar(noise >> 16);
            } else {
                pixel[0] = pixel[1] = pixel[2] = 255;
            }
        }
    }
    return picture;
}

} // namespace PngTest
