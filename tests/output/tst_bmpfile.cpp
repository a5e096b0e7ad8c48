// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestPictures.h"
#include "common/VistrelError.h"
#include "output/BmpFile.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <functional>
#include <limits>

namespace {

quint32 Le32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 Le16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}

void Put32(QByteArray& b, int at, quint32 value) {
    qToLittleEndian<quint32>(value, b.data() + at);
}

void Put16(QByteArray& b, int at, quint16 value) {
    qToLittleEndian<quint16>(value, b.data() + at);
}

QByteArray WrittenBmp(const QImage& picture) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteBmp(picture, buffer);
    return buffer.data();
}

struct Layout {
    bool topDown = false;
    int bitsPerPixel = 24;
    quint32 infoSize = 40;
    quint32 compression = 0;
    bool masks = false;
};

// Writes files the way other programs do; padding and the unused fourth byte hold junk that
// the reader must ignore.
QByteArray CraftedBmp(const QImage& picture, const Layout& layout) {
    const int bytesPerPixel = layout.bitsPerPixel / 8;
    const int stride = (picture.width() * bytesPerPixel + 3) / 4 * 4;
    const int masksSize = layout.masks && layout.infoSize == 40 ? 12 : 0;
    const int offset = 14 + int(layout.infoSize) + masksSize;
    QByteArray b(offset + stride * picture.height(), '\xCD');
    b.replace(0, offset, QByteArray(offset, '\0'));
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, quint32(b.size()));
    Put32(b, 10, quint32(offset));
    Put32(b, 14, layout.infoSize);
    Put32(b, 18, quint32(picture.width()));
    Put32(b, 22, quint32(layout.topDown ? -picture.height() : picture.height()));
    Put16(b, 26, 1);
    Put16(b, 28, quint16(layout.bitsPerPixel));
    Put32(b, 30, layout.compression);
    if (layout.masks) {
        Put32(b, 54, 0x00FF0000);
        Put32(b, 58, 0x0000FF00);
        Put32(b, 62, 0x000000FF);
    }
    for (int y = 0; y < picture.height(); ++y) {
        const int fileRow = layout.topDown ? y : picture.height() - 1 - y;
        char* out = b.data() + offset + fileRow * stride;
        const uchar* in = picture.constScanLine(y);
        for (int x = 0; x < picture.width(); ++x, out += bytesPerPixel) {
            out[0] = char(in[3 * x + 2]);
            out[1] = char(in[3 * x + 1]);
            out[2] = char(in[3 * x]);
            if (bytesPerPixel == 4)
                out[3] = '\xAB';
        }
    }
    return b;
}

QString WriteFile(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath(QStringLiteral("picture.bmp"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
    return path;
}

QString RefusalOf(const std::function<void()>& read) {
    try {
        read();
    } catch (const VistrelError& error) {
        return error.message();
    }
    return QString();
}

QString RefusalOf(const QString& path) {
    return RefusalOf([&path] { ReadBmp(path); });
}

// A pipe, say: no size and no seeking.
class SequentialBuffer : public QBuffer {
public:
    using QBuffer::QBuffer;
    bool isSequential() const override { return true; }
};

} // namespace

class TestBmpFile : public QObject {
    Q_OBJECT
private slots:
    void headerFields_data();
    void headerFields();
    void rowBytes_data();
    void rowBytes();
    void writeRefusals();
    void roundTrip_data();
    void roundTrip();
    void readsQtWrittenBmp();
    void largeRoundTrip();
    void readsOtherLayouts_data();
    void readsOtherLayouts();
    void refusals_data();
    void refusals();
    void readsDevices();
    void missingFile();
};

void TestBmpFile::headerFields_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("stride");
    QTest::newRow("width 1") << 1 << 3 << 4;
    QTest::newRow("width 2") << 2 << 3 << 8;
    QTest::newRow("width 3") << 3 << 3 << 12;
    QTest::newRow("width 4") << 4 << 3 << 12;
    QTest::newRow("width 5") << 5 << 3 << 16;
    QTest::newRow("1024 x 768") << 1024 << 768 << 3072;
}

void TestBmpFile::headerFields() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, stride);
    const QByteArray b = WrittenBmp(PatternPicture(width, height));
    QCOMPARE(b.size(), 54 + stride * height);
    QCOMPARE(b.left(2), QByteArray("BM"));
    QCOMPARE(Le32(b, 2), quint32(b.size()));
    QCOMPARE(Le16(b, 6), quint16(0));
    QCOMPARE(Le16(b, 8), quint16(0));
    QCOMPARE(Le32(b, 10), 54u);
    QCOMPARE(Le32(b, 14), 40u);
    QCOMPARE(qint32(Le32(b, 18)), width);
    QCOMPARE(qint32(Le32(b, 22)), height);
    QCOMPARE(Le16(b, 26), quint16(1));
    QCOMPARE(Le16(b, 28), quint16(24));
    QCOMPARE(Le32(b, 30), 0u);
    QCOMPARE(Le32(b, 34), quint32(stride * height));
    for (int at = 38; at < 54; at += 4)
        QCOMPARE(Le32(b, at), 0u);
}

void TestBmpFile::rowBytes_data() {
    QTest::addColumn<int>("width");
    for (int width = 1; width <= 5; ++width)
        QTest::addRow("width %d", width) << width;
}

void TestBmpFile::rowBytes() {
    QFETCH(int, width);
    const int height = 4;
    const QImage picture = PatternPicture(width, height);
    const QByteArray b = WrittenBmp(picture);
    const int stride = (width * 3 + 3) / 4 * 4;
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const char* row = b.constData() + 54 + fileRow * stride;
        const int y = height - 1 - fileRow; // bottom row first
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = picture.pixel(x, y);
            QCOMPARE(uchar(row[3 * x]), uchar(qBlue(pixel)));
            QCOMPARE(uchar(row[3 * x + 1]), uchar(qGreen(pixel)));
            QCOMPARE(uchar(row[3 * x + 2]), uchar(qRed(pixel)));
        }
        for (int pad = width * 3; pad < stride; ++pad)
            QCOMPARE(row[pad], '\0');
    }
}

void TestBmpFile::writeRefusals() {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY_THROWS_EXCEPTION(VistrelError, WriteBmp(QImage(), buffer));
    QCOMPARE(buffer.size(), 0);

    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    QVERIFY_THROWS_EXCEPTION(VistrelError, WriteBmp(PatternPicture(3, 3), readOnly));
}

void TestBmpFile::roundTrip_data() {
    QTest::addColumn<QImage>("picture");
    QTest::newRow("1 x 1") << PatternPicture(1, 1);
    QTest::newRow("3 x 2") << PatternPicture(3, 2);
    QTest::newRow("5 x 7") << PatternPicture(5, 7);
    QTest::newRow("1023 x 3") << PatternPicture(1023, 3);
    QTest::newRow("from RGB32") << PatternPicture(6, 5).convertToFormat(QImage::Format_RGB32);
    QTest::newRow("from grey") << PatternPicture(6, 5).convertToFormat(QImage::Format_Grayscale8);
}

void TestBmpFile::roundTrip() {
    QFETCH(QImage, picture);
    const QImage expected = picture.convertToFormat(QImage::Format_RGB888);
    const QByteArray bytes = WrittenBmp(picture);
    QTemporaryDir dir;
    const QImage ours = ReadBmp(WriteFile(dir, bytes));
    QCOMPARE(ours.format(), QImage::Format_RGB888);
    QCOMPARE(ours, expected);
    const QImage qts = QImage::fromData(bytes, "BMP");
    QVERIFY(!qts.isNull());
    QCOMPARE(qts.convertToFormat(QImage::Format_RGB888), expected);
}

void TestBmpFile::readsQtWrittenBmp() {
    const QImage picture = PatternPicture(37, 11);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("qt.bmp"));
    QImageWriter writer(path, "bmp");
    QVERIFY(writer.write(picture));
    QCOMPARE(ReadBmp(path), picture);
}

void TestBmpFile::largeRoundTrip() {
    // 146 MB: over Qt's reader's 128 MB limit.
    const int width = 1024;
    const int height = 50000;
    QImage picture(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < width * 3; ++x)
            row[x] = uchar(x + y * 7 + (y >> 8));
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.bmp"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        WriteBmp(picture, file);
    }
    QCOMPARE(QFileInfo(path).size(), 54 + qint64(width) * 3 * height);
    const QImage read = ReadBmp(path);
    QCOMPARE(read.size(), picture.size());
    QVERIFY(read == picture);
}

void TestBmpFile::readsOtherLayouts_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("topDown");
    QTest::addColumn<int>("bitsPerPixel");
    QTest::addColumn<quint32>("infoSize");
    QTest::addColumn<quint32>("compression");
    QTest::addColumn<bool>("masks");
    QTest::newRow("24-bit top-down") << 5 << true << 24 << 40u << 0u << false;
    QTest::newRow("24-bit, V4 header") << 7 << false << 24 << 108u << 0u << false;
    QTest::newRow("32-bit bottom-up") << 5 << false << 32 << 40u << 0u << false;
    QTest::newRow("32-bit top-down") << 3 << true << 32 << 40u << 0u << false;
    QTest::newRow("32-bit bit fields after header") << 4 << false << 32 << 40u << 3u << true;
    QTest::newRow("32-bit bit fields, V5 header") << 6 << true << 32 << 124u << 3u << true;
}

void TestBmpFile::readsOtherLayouts() {
    QFETCH(int, width);
    QFETCH(bool, topDown);
    QFETCH(int, bitsPerPixel);
    QFETCH(quint32, infoSize);
    QFETCH(quint32, compression);
    QFETCH(bool, masks);
    const QImage picture = PatternPicture(width, 9);
    const Layout layout{topDown, bitsPerPixel, infoSize, compression, masks};
    QTemporaryDir dir;
    QCOMPARE(ReadBmp(WriteFile(dir, CraftedBmp(picture, layout))), picture);
}

void TestBmpFile::refusals_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray good = CraftedBmp(PatternPicture(5, 4), Layout());
    const auto patched = [&good](int at, quint32 value, int size = 4) {
        QByteArray b = good;
        if (size == 4)
            Put32(b, at, value);
        else
            Put16(b, at, quint16(value));
        return b;
    };
    QTest::newRow("empty") << QByteArray() << "empty";
    QTest::newRow("magic only") << QByteArray("BM") << "truncated";
    QTest::newRow("wrong magic") << QByteArray("MB").append(good.mid(2)) << "not a BMP";
    QTest::newRow("text file") << QByteArray("hello, world\n") << "not a BMP";
    QTest::newRow("truncated header") << good.left(30) << "truncated";
    QTest::newRow("headers only") << good.left(54) << "truncated";
    QTest::newRow("last byte missing") << good.left(good.size() - 1) << "truncated";
    QTest::newRow("width 0") << patched(18, 0) << "invalid picture size";
    QTest::newRow("width negative") << patched(18, quint32(-5)) << "invalid picture size";
    QTest::newRow("height 0") << patched(22, 0) << "invalid picture size";
    QTest::newRow("height -2^31") << patched(22, 0x80000000u) << "invalid picture size";
    QTest::newRow("huge width") << patched(18, 0x7FFFFFFFu) << "truncated";
    QTest::newRow("huge height") << patched(22, 0x7FFFFFFFu) << "truncated";
    QTest::newRow("huge top-down height") << patched(22, quint32(-0x7FFFFFFF)) << "truncated";
    QByteArray both = patched(18, 0x7FFFFFFFu);
    Put32(both, 22, 0x7FFFFFFFu);
    QTest::newRow("huge width and height") << both << "truncated";
    QTest::newRow("offset past the end") << patched(10, 0xFFFFFFF0u) << "offset";
    QTest::newRow("offset inside the header") << patched(10, 20) << "offset";
    QTest::newRow("OS/2 header") << patched(14, 12) << "header";
    QTest::newRow("header size 2^32 - 1") << patched(14, 0xFFFFFFFFu) << "truncated";
    QTest::newRow("planes 2") << patched(26, 2, 2) << "planes";
    QTest::newRow("8 bits") << patched(28, 8, 2) << "8-bit";
    QTest::newRow("16 bits") << patched(28, 16, 2) << "16-bit";
    QTest::newRow("0 bits") << patched(28, 0, 2) << "0-bit";
    QTest::newRow("RLE8") << patched(30, 1) << "compressed";
    QTest::newRow("embedded JPEG") << patched(30, 4) << "compressed";
    QTest::newRow("bit fields on 24 bits") << patched(30, 3) << "compressed";
    const QImage four = PatternPicture(4, 2);
    QByteArray swapped = CraftedBmp(four, Layout{false, 32, 40, 3, true});
    Put32(swapped, 54, 0x000000FF);
    Put32(swapped, 62, 0x00FF0000);
    QTest::newRow("bit fields, other masks") << swapped << "compressed";
    QTest::newRow("bit fields without masks")
        << CraftedBmp(four, Layout{false, 32, 40, 3, false}) << "compressed";
}

void TestBmpFile::refusals() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = WriteFile(dir, bytes);
    const QString message = RefusalOf(path);
    QVERIFY2(message.contains(path), qPrintable(message));
    QVERIFY2(message.contains(reason, Qt::CaseInsensitive), qPrintable(message));

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QCOMPARE(RefusalOf([&buffer] { ReadBmp(buffer, QStringLiteral("memory")); }),
             QString(message).replace(path, QStringLiteral("memory")));
}

void TestBmpFile::readsDevices() {
    const QImage picture = PatternPicture(7, 5);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    WriteBmp(picture, buffer);
    // Read from its start, wherever the device stands.
    QCOMPARE(ReadBmp(buffer, QStringLiteral("memory")), picture);

    QByteArray bytes = buffer.data();
    SequentialBuffer pipe(&bytes);
    pipe.open(QIODevice::ReadOnly);
    QCOMPARE(RefusalOf([&pipe] { ReadBmp(pipe, QStringLiteral("pipe")); }),
             QStringLiteral("Cannot read picture pipe: it cannot be read from its start"));
}

void TestBmpFile::missingFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("absent.bmp"));
    const QString message = RefusalOf(path);
    QVERIFY2(message.startsWith(QStringLiteral("Cannot open picture ") + path),
             qPrintable(message));
}

QTEST_GUILESS_MAIN(TestBmpFile)
#include "tst_bmpfile.moc"
