// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestPictures.h"
#include "output/ThumbnailScaler.h"

#include <QtTest>

namespace {

QImage Row(const QList<QRgb>& pixels) {
    QImage picture(int(pixels.size()), 1, QImage::Format_RGB888);
    for (int x = 0; x < pixels.size(); ++x)
        picture.setPixel(x, 0, pixels[x]);
    return picture;
}

QList<QRgb> PixelsOf(const QImage& picture) {
    QList<QRgb> pixels;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            pixels << (picture.pixel(x, y) & 0xFFFFFF);
    return pixels;
}

QRgb Grey(int level) {
    return qRgb(level, level, level) & 0xFFFFFF;
}

// Black strokes one pixel wide on white, like small text: a short horizontal stroke in every
// 24 x 30 cell and a vertical one beside it.
QImage TextLikePage(int width, int height) {
    QImage page = FilledPicture(width, height, 0xFFFFFF);
    for (int top = 0; top + 30 <= height; top += 30)
        for (int left = 0; left + 24 <= width; left += 24) {
            for (int x = left + 3; x < left + 15; ++x)
                page.setPixel(x, top + 10, 0x000000);
            for (int y = top + 4; y < top + 20; ++y)
                page.setPixel(left + 18, y, 0x000000);
        }
    return page;
}

int DarkestLevel(const QImage& picture) {
    int darkest = 255;
    for (QRgb pixel : PixelsOf(picture))
        darkest = qMin(darkest, qGray(pixel));
    return darkest;
}

} // namespace

using Pixels = QList<QRgb>;

class TestThumbnailScaler : public QObject {
    Q_OBJECT
private slots:
    void halftoneAverages_data();
    void halftoneAverages();
    void uniformColourStaysExact_data();
    void uniformColourStaysExact();
    void blackOnWhiteCombines_data();
    void blackOnWhiteCombines();
    void onlyTheSourceRectCounts_data();
    void onlyTheSourceRectCounts();
    void textSurvivesWithoutSmoothing();
    void emptyResults_data();
    void emptyResults();
    void frame_data();
    void frame();
};

void TestThumbnailScaler::halftoneAverages_data() {
    QTest::addColumn<QImage>("source");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<Pixels>("expected");
    QImage blocks(4, 2, QImage::Format_RGB888);
    const QRgb left[4] = {qRgb(0, 10, 200), qRgb(100, 20, 100), qRgb(50, 30, 0), qRgb(1, 40, 0)};
    const QRgb right[4] = {qRgb(255, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 1)};
    for (int i = 0; i < 4; ++i) {
        blocks.setPixel(i % 2, i / 2, left[i]);
        blocks.setPixel(2 + i % 2, i / 2, right[i]);
    }
    // Rounded means: (0+100+50+1)/4 = 37.75, 25, 75; (255*2)/4 = 127.5, 0, 0.25.
    QTest::newRow("2 x 2 blocks") << blocks << QSize(2, 1)
                                  << Pixels{qRgb(38, 25, 75) & 0xFFFFFF,
                                            qRgb(128, 0, 0) & 0xFFFFFF};
    // 1.5 source pixels a destination pixel: (0 + 90 / 2) / 1.5 = 30, (90 / 2 + 180) / 1.5.
    QTest::newRow("fractional coverage")
        << Row({Grey(0), Grey(90), Grey(180)}) << QSize(2, 1) << Pixels{Grey(30), Grey(150)};
    QTest::newRow("enlarging, half steps") << Row({Grey(0), Grey(100)}) << QSize(4, 1)
                                           << Pixels{Grey(0), Grey(0), Grey(100), Grey(100)};
    QTest::newRow("enlarging, straddling")
        << Row({Grey(0), Grey(100)}) << QSize(3, 1) << Pixels{Grey(0), Grey(50), Grey(100)};
    QTest::newRow("vertical")
        << Row({Grey(10), Grey(20), Grey(40), Grey(50)}).transformed(QTransform().rotate(90))
        << QSize(1, 2) << Pixels{Grey(15), Grey(45)};
}

void TestThumbnailScaler::halftoneAverages() {
    QFETCH(QImage, source);
    QFETCH(QSize, size);
    QFETCH(Pixels, expected);
    const QImage result = StretchHalftone(source, source.rect(), size);
    QCOMPARE(result.size(), size);
    QCOMPARE(result.format(), QImage::Format_RGB888);
    QCOMPARE(PixelsOf(result), expected);
}

void TestThumbnailScaler::uniformColourStaysExact_data() {
    QTest::addColumn<QSize>("from");
    QTest::addColumn<QSize>("to");
    QTest::newRow("page to 160 x 180") << QSize(1024, 3000) << QSize(160, 180);
    QTest::newRow("7 x 5 to 3 x 2") << QSize(7, 5) << QSize(3, 2);
    QTest::newRow("enlarging 3 x 3 to 7 x 7") << QSize(3, 3) << QSize(7, 7);
    QTest::newRow("one pixel to 5 x 5") << QSize(1, 1) << QSize(5, 5);
    QTest::newRow("narrower and taller") << QSize(100, 10) << QSize(30, 77);
}

void TestThumbnailScaler::uniformColourStaysExact() {
    QFETCH(QSize, from);
    QFETCH(QSize, to);
    const QRgb colour = qRgb(12, 200, 77);
    const QImage source = FilledPicture(from.width(), from.height(), colour);
    for (const QImage& result : {StretchHalftone(source, source.rect(), to),
                                 StretchBlackOnWhite(source, source.rect(), to)}) {
        QCOMPARE(result.size(), to);
        QCOMPARE(result, FilledPicture(to.width(), to.height(), colour));
    }
}

void TestThumbnailScaler::blackOnWhiteCombines_data() {
    QTest::addColumn<QImage>("source");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<Pixels>("expected");
    const QRgb white = 0xFFFFFF;
    QTest::newRow("red and green give black")
        << Row({0xFF0000, 0x00FF00, white, white}) << QSize(2, 1) << Pixels{0x000000, white};
    QTest::newRow("bitwise per channel")
        << Row({qRgb(0xF0, 0x0F, 0xFF), qRgb(0x3C, 0xFF, 0x0F)}) << QSize(1, 1)
        << Pixels{qRgb(0x30, 0x0F, 0x0F) & 0xFFFFFF};
    QTest::newRow("one dark pixel in nine")
        << Row({white, white, white, white, Grey(7), white, white, white, white}) << QSize(3, 1)
        << Pixels{white, Grey(7), white};
    QTest::newRow("enlarging repeats the nearest")
        << Row({Grey(1), Grey(2), Grey(3)}) << QSize(7, 1)
        << Pixels{Grey(1), Grey(1), Grey(2), Grey(2), Grey(2), Grey(3), Grey(3)};
}

void TestThumbnailScaler::blackOnWhiteCombines() {
    QFETCH(QImage, source);
    QFETCH(QSize, size);
    QFETCH(Pixels, expected);
    const QImage result = StretchBlackOnWhite(source, source.rect(), size);
    QCOMPARE(result.format(), QImage::Format_RGB888);
    QCOMPARE(PixelsOf(result), expected);
}

void TestThumbnailScaler::onlyTheSourceRectCounts_data() {
    QTest::addColumn<bool>("smooth");
    QTest::newRow("halftone") << true;
    QTest::newRow("black on white") << false;
}

void TestThumbnailScaler::onlyTheSourceRectCounts() {
    QFETCH(bool, smooth);
    // Top 768 rows blue, the rest black: a source rect of the top rows sees only blue.
    QImage page = FilledPicture(1024, 3000, qRgb(0, 0, 255));
    for (int y = 768; y < 3000; ++y)
        memset(page.scanLine(y), 0, size_t(page.bytesPerLine()));
    const QRect top(0, 0, 1024, 768);
    const QSize size(160, 180);
    const QImage result =
        smooth ? StretchHalftone(page, top, size) : StretchBlackOnWhite(page, top, size);
    QCOMPARE(result, FilledPicture(160, 180, qRgb(0, 0, 255)));
    // A rect reaching below the picture is cut to it.
    const QImage clipped = smooth ? StretchHalftone(page, QRect(0, 2000, 1024, 5000), size)
                                  : StretchBlackOnWhite(page, QRect(0, 2000, 1024, 5000), size);
    QCOMPARE(clipped, FilledPicture(160, 180, 0x000000));
}

void TestThumbnailScaler::textSurvivesWithoutSmoothing() {
    const QImage page = TextLikePage(1024, 3000);
    const QSize size(160, 180);
    QCOMPARE(DarkestLevel(StretchBlackOnWhite(page, page.rect(), size)), 0);
    QVERIFY(DarkestLevel(StretchHalftone(page, page.rect(), size)) > 128);
}

void TestThumbnailScaler::emptyResults_data() {
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QSize>("size");
    QTest::newRow("no width") << QRect(0, 0, 10, 10) << QSize(0, 5);
    QTest::newRow("no height") << QRect(0, 0, 10, 10) << QSize(5, 0);
    QTest::newRow("rect outside") << QRect(20, 20, 5, 5) << QSize(5, 5);
    QTest::newRow("empty rect") << QRect(0, 0, 0, 10) << QSize(5, 5);
}

void TestThumbnailScaler::emptyResults() {
    QFETCH(QRect, rect);
    QFETCH(QSize, size);
    const QImage source = PatternPicture(10, 10);
    QVERIFY(StretchHalftone(source, rect, size).isNull());
    QVERIFY(StretchBlackOnWhite(source, rect, size).isNull());
    QVERIFY(StretchHalftone(QImage(), rect, size).isNull());
}

void TestThumbnailScaler::frame_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("1 x 1") << QSize(1, 1);
    QTest::newRow("2 x 2") << QSize(2, 2);
    QTest::newRow("5 x 4") << QSize(5, 4);
    QTest::newRow("160 x 180") << QSize(160, 180);
    QTest::newRow("1 x 7") << QSize(1, 7);
}

void TestThumbnailScaler::frame() {
    QFETCH(QSize, size);
    const QImage picture = PatternPicture(size.width(), size.height());
    QImage framed = picture;
    const QRgb colour = qRgb(200, 10, 30);
    DrawFrame(framed, colour);
    QCOMPARE(framed.size(), size);
    QCOMPARE(framed.format(), QImage::Format_RGB888);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const bool edge = x == 0 || y == 0 || x == size.width() - 1 || y == size.height() - 1;
            QCOMPARE(framed.pixel(x, y), edge ? colour : picture.pixel(x, y));
        }
}

QTEST_GUILESS_MAIN(TestThumbnailScaler)
#include "tst_thumbnailscaler.moc"
