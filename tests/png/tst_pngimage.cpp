// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/VistrelError.h"
#include "png/IhdrChunk.h"
#include "png/PngChunk.h"
#include "png/PngRows.h"
#include "png/PngTestTools.h"
#include "png/PngWriter.h"

#include <QBuffer>
#include <QImageReader>
#include <QtTest>

using Path = PngWriter::TDeflatePath;
Q_DECLARE_METATYPE(PngWriter::TDeflatePath)

namespace {

QByteArray Written(const QImage& picture, Path path, qsizetype rangeBytes = 0) {
    PngWriter png;
    png.SetDeflatePath(path);
    if (rangeBytes > 0) {
        png.SetRangeBytes(rangeBytes);
    }
    png.Assign(picture);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    png.SaveToStream(buffer);
    return buffer.data();
}

QByteArray WrittenByQt(const QImage& picture) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return buffer.data();
}

QImage ReadWithQt(const QByteArray& file) {
    QBuffer buffer;
    buffer.setData(file);
    QImageReader reader(&buffer, "png");
    return reader.read().convertToFormat(QImage::Format_RGB888);
}

// Accepts this many bytes, then fails every write.
class TFailingDevice : public QIODevice {
public:
    explicit TFailingDevice(qint64 room) : FRoom(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override {
        if (size > FRoom) {
            setErrorString(QStringLiteral("device full"));
            return -1;
        }
        FRoom -= size;
        return size;
    }

private:
    qint64 FRoom;
};

} // namespace

class TestPngImage : public QObject {
    Q_OBJECT
private slots:
    void layoutAndRoundTrip_data();
    void layoutAndRoundTrip();
    void whitePixelStream_data();
    void whitePixelStream();
    void pathsDecodeAlike();
    void sourceFormats_data();
    void sourceFormats();
    void emptyPicture_data();
    void emptyPicture();
    void nothingAssigned();
    void writeFailure_data();
    void writeFailure();
    void readRows_data();
    void readRows();
    void unreadableRows_data();
    void unreadableRows();
};

void TestPngImage::layoutAndRoundTrip_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<Path>("path");
    QTest::addColumn<qsizetype>("rangeBytes");
    QTest::newRow("1x1 sequential") << 1 << 1 << Path::Sequential << qsizetype(0);
    QTest::newRow("1x1 parallel") << 1 << 1 << Path::Parallel << qsizetype(0);
    QTest::newRow("3x7 sequential") << 3 << 7 << Path::Sequential << qsizetype(0);
    QTest::newRow("3x7 parallel, a range a row") << 3 << 7 << Path::Parallel << qsizetype(1);
    QTest::newRow("1x3000 parallel, dictionary over many ranges")
        << 1 << 3000 << Path::Parallel << qsizetype(1);
    QTest::newRow("12000x3 parallel, rows wider than the window")
        << 12000 << 3 << Path::Parallel << qsizetype(1);
    QTest::newRow("1001x3001 sequential") << 1001 << 3001 << Path::Sequential << qsizetype(0);
    QTest::newRow("1001x3001 parallel") << 1001 << 3001 << Path::Parallel << qsizetype(0);
    QTest::newRow("1001x3001 parallel, short ranges")
        << 1001 << 3001 << Path::Parallel << qsizetype(40000);
    QTest::newRow("1001x3001 auto") << 1001 << 3001 << Path::Auto << qsizetype(0);
}

void TestPngImage::layoutAndRoundTrip() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(Path, path);
    QFETCH(qsizetype, rangeBytes);
    const QImage picture = PngTest::MakePicture(width, height, quint32(width * 7 + height));
    const QByteArray file = Written(picture, path, rangeBytes);
    const PngTest::TParsedPng png = PngTest::Parse(file);

    QVERIFY(png.FSignatureOk);
    QVERIFY(png.FComplete);
    QVERIFY(png.FChunks.size() >= 3);
    QCOMPARE(png.FChunks.first().FType, QByteArray("IHDR"));
    const QByteArray header = png.FChunks.first().FData;
    QCOMPARE(header.size(), 13);
    QCOMPARE(qFromBigEndian<quint32>(header.constData()), quint32(width));
    QCOMPARE(qFromBigEndian<quint32>(header.constData() + 4), quint32(height));
    QCOMPARE(header.mid(8), QByteArray("\x08\x02\x00\x00\x00", 5));
    QCOMPARE(png.FChunks.last().FRaw, QByteArray("\0\0\0\0IEND\xae\x42\x60\x82", 12));
    for (qsizetype i = 1; i + 1 < png.FChunks.size(); ++i) {
        const PngTest::TParsedChunk& chunk = png.FChunks[i];
        QCOMPARE(chunk.FType, QByteArray("IDAT"));
        if (i + 2 < png.FChunks.size()) {
            QCOMPARE(chunk.FData.size(), 65535);
        } else {
            QVERIFY(chunk.FData.size() >= 1 && chunk.FData.size() <= 65535);
        }
    }
    for (const PngTest::TParsedChunk& chunk : png.FChunks) {
        QVERIFY2(chunk.FCrcOk, chunk.FType.constData());
    }

    QByteArray inflated;
    const QString error = PngTest::Inflate(PngTest::JoinedIdat(png), inflated);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const qsizetype rowLength = qsizetype(width) * 3 + 1;
    QCOMPARE(inflated.size(), rowLength * height);
    for (int y = 0; y < height; ++y) {
        QCOMPARE(int(inflated[y * rowLength]), 1);
    }
    QVERIFY(inflated == PngTest::SubFiltered(picture));
    QCOMPARE(ReadWithQt(file), picture);
}

void TestPngImage::whitePixelStream_data() {
    QTest::addColumn<Path>("path");
    QTest::newRow("sequential") << Path::Sequential;
    QTest::newRow("parallel") << Path::Parallel;
}

void TestPngImage::whitePixelStream() {
    QFETCH(Path, path);
    QImage white(1, 1, QImage::Format_RGB888);
    white.fill(Qt::white);
    const PngTest::TParsedPng png = PngTest::Parse(Written(white, path));
    QCOMPARE(png.FChunks.size(), 3);
    QByteArray inflated;
    QVERIFY(PngTest::Inflate(png.FChunks[1].FData, inflated).isEmpty());
    QCOMPARE(inflated, QByteArray("\x01\xff\xff\xff", 4));
}

void TestPngImage::pathsDecodeAlike() {
    const QImage picture = PngTest::MakePicture(1001, 3001, 5);
    const QByteArray sequential = Written(picture, Path::Sequential);
    const QByteArray parallel = Written(picture, Path::Parallel, 100000);
    const QByteArray sequentialStream = PngTest::JoinedIdat(PngTest::Parse(sequential));
    const QByteArray parallelStream = PngTest::JoinedIdat(PngTest::Parse(parallel));
    // The same zlib header: the same level is declared whichever path wrote the stream.
    QCOMPARE(parallelStream.left(2), sequentialStream.left(2));
    QCOMPARE(sequentialStream.left(2), QByteArray("\x78\xda"));
    QByteArray a;
    QByteArray b;
    QVERIFY(PngTest::Inflate(sequentialStream, a).isEmpty());
    QVERIFY(PngTest::Inflate(parallelStream, b).isEmpty());
    QVERIFY(a == b);
    // Cutting the stream costs a few bytes a range, not a worse compression.
    QVERIFY(parallel.size() < sequential.size() * 101 / 100);
}

void TestPngImage::sourceFormats_data() {
    QTest::addColumn<QImage::Format>("format");
    QTest::newRow("RGB32") << QImage::Format_RGB32;
    QTest::newRow("ARGB32") << QImage::Format_ARGB32;
    QTest::newRow("RGB16") << QImage::Format_RGB16;
    QTest::newRow("Indexed8") << QImage::Format_Indexed8;
    QTest::newRow("Grayscale8") << QImage::Format_Grayscale8;
    QTest::newRow("Mono") << QImage::Format_Mono;
}

void TestPngImage::sourceFormats() {
    QFETCH(QImage::Format, format);
    const QImage source = PngTest::MakePicture(37, 41, 9).convertToFormat(format);
    PngWriter png;
    png.Assign(source);
    QCOMPARE(png.Header()->Image().format(), QImage::Format_RGB888);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    png.SaveToStream(buffer);
    QCOMPARE(ReadWithQt(buffer.data()), source.convertToFormat(QImage::Format_RGB888));
}

void TestPngImage::emptyPicture_data() {
    QTest::addColumn<QImage>("picture");
    QTest::newRow("null") << QImage();
    QTest::newRow("no width") << QImage(0, 5, QImage::Format_RGB888);
    QTest::newRow("no height") << QImage(5, 0, QImage::Format_RGB888);
}

void TestPngImage::emptyPicture() {
    QFETCH(QImage, picture);
    PngWriter png;
    QImage previous(2, 2, QImage::Format_RGB888);
    previous.fill(Qt::red);
    png.Assign(previous);
    QVERIFY_THROWS_EXCEPTION(VistrelError, png.Assign(picture));
    // The object keeps its earlier picture rather than being left half reset.
    QCOMPARE(png.Chunks().size(), size_t(3));
    QCOMPARE(png.Header()->Image(), previous);
}

void TestPngImage::nothingAssigned() {
    PngWriter png;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY_THROWS_EXCEPTION(VistrelError, png.SaveToStream(buffer));
    QCOMPARE(buffer.size(), 0);
}

void TestPngImage::writeFailure_data() {
    QTest::addColumn<Path>("path");
    QTest::addColumn<qint64>("room");
    QTest::newRow("signature, sequential") << Path::Sequential << qint64(3);
    QTest::newRow("in the image data, sequential") << Path::Sequential << qint64(200000);
    QTest::newRow("in the image data, parallel") << Path::Parallel << qint64(200000);
    QTest::newRow("last IDAT, parallel") << Path::Parallel << qint64(-40);
}

void TestPngImage::writeFailure() {
    QFETCH(Path, path);
    QFETCH(qint64, room);
    const QImage picture = PngTest::MakePicture(1001, 3001, 3);
    if (room < 0) {
        room += Written(picture, path, 50000).size() - 12;
    }
    PngWriter png;
    png.SetDeflatePath(path);
    png.SetRangeBytes(50000);
    png.Assign(picture);
    TFailingDevice device(room);
    try {
        png.SaveToStream(device);
        QFAIL("a failed write was reported as success");
    } catch (const VistrelError& error) {
        QVERIFY2(error.message().contains(QStringLiteral("device full")),
                 qPrintable(error.message()));
    }
}

// Files as other programs write them, read row by row as Qt reads them whole.
void TestPngImage::readRows_data() {
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<int>("rows");
    for (const int rows : {1, 16, 41, 1000}) {
        const QByteArray count = QByteArray::number(rows);
        QTest::newRow("RGB32 " + count) << QImage::Format_RGB32 << rows;
        QTest::newRow("ARGB32 " + count) << QImage::Format_ARGB32 << rows;
        QTest::newRow("Grayscale8 " + count) << QImage::Format_Grayscale8 << rows;
        QTest::newRow("Indexed8 " + count) << QImage::Format_Indexed8 << rows;
        QTest::newRow("RGBA64 " + count) << QImage::Format_RGBA64 << rows;
    }
}

void TestPngImage::readRows() {
    QFETCH(QImage::Format, format);
    QFETCH(int, rows);
    const QByteArray file = WrittenByQt(PngTest::MakePicture(37, 41, 9).convertToFormat(format));
    const QImage whole = ReadWithQt(file);
    const QImage read = ReadPngRows(file, rows);
    QCOMPARE(read.format(), QImage::Format_RGB888);
    QCOMPARE(read, whole.copy(0, 0, whole.width(), std::min(rows, whole.height())));
}

void TestPngImage::unreadableRows_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("rows");
    const QByteArray file = Written(PngTest::MakePicture(64, 300, 3), Path::Sequential);
    QTest::newRow("empty") << QByteArray() << 1;
    QTest::newRow("not a PNG") << QByteArray("GIF89a and more bytes than a header") << 1;
    QTest::newRow("header only") << file.left(33) << 1;
    QTest::newRow("rows cut off") << file.left(file.size() / 2) << 300;
    QTest::newRow("no rows asked for") << file << 0;
}

void TestPngImage::unreadableRows() {
    QFETCH(QByteArray, file);
    QFETCH(int, rows);
    QVERIFY(ReadPngRows(file, rows).isNull());
}

QTEST_GUILESS_MAIN(TestPngImage)
#include "tst_pngimage.moc"
