// SPDX-License-Identifier: GPL-3.0-or-later
// The working picture's BMP reader: any file is either refused with the program's error or
// read to exactly the pixels its rows hold; a picture read is written and read back unchanged.
#include "FuzzCheck.h"

#include "common/VistrelError.h"
#include "output/BmpFile.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>

namespace {

// Larger pictures are left out so that a run never allocates gigabytes; the reader itself
// refuses sizes the file cannot hold before allocating.
constexpr qint64 MaxPixels = qint64(1) << 24;

quint32 Le32(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

bool TooLarge(const QByteArray& bytes) {
    if (bytes.size() < 26) {
        return false;
    }
    const qint64 width = qint32(Le32(bytes, 18));
    const qint64 height = qint32(Le32(bytes, 22));
    return width * (height < 0 ? -height : height) > MaxPixels;
}

// Each pixel against the file's own bytes, read here the plain way.
void CheckPixels(const QByteArray& bytes, const QImage& picture) {
    FUZZ_CHECK(picture.format() == QImage::Format_RGB888);
    const int bits = qFromLittleEndian<quint16>(bytes.constData() + 28);
    FUZZ_CHECK(bits == 24 || bits == 32);
    const qint64 offset = Le32(bytes, 10);
    const bool topDown = qint32(Le32(bytes, 22)) < 0;
    const qint64 stride = (qint64(picture.width()) * bits + 31) / 32 * 4;
    FUZZ_CHECK(qint32(Le32(bytes, 18)) == picture.width());
    FUZZ_CHECK(offset + stride * picture.height() <= bytes.size());
    for (int y = 0; y < picture.height(); ++y) {
        const qint64 fileRow = topDown ? y : picture.height() - 1 - y;
        const uchar* in =
            reinterpret_cast<const uchar*>(bytes.constData()) + offset + fileRow * stride;
        const uchar* out = picture.constScanLine(y);
        for (int x = 0; x < picture.width(); ++x, in += bits / 8, out += 3) {
            FUZZ_CHECK(out[0] == in[2] && out[1] == in[1] && out[2] == in[0]);
        }
    }
}

void CheckRewrite(const QImage& picture) {
    QBuffer written;
    written.open(QIODevice::ReadWrite);
    WriteBmp(picture, written);
    FUZZ_CHECK(ReadBmp(written, QStringLiteral("rewritten")) == picture);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (TooLarge(bytes)) {
        return 0;
    }
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    QImage picture;
    try {
        picture = ReadBmp(device, QStringLiteral("fuzzed.bmp"));
    } catch (const VistrelError& error) {
        FUZZ_CHECK(error.message().startsWith(u"Cannot read picture fuzzed.bmp: "));
        return 0;
    }
    FUZZ_CHECK(!picture.isNull());
    CheckPixels(bytes, picture);
    CheckRewrite(picture);
    return 0;
}
