// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/VistrelError.h"
#include "output/Thumbnail.h"

#include <QtTest>

namespace {

// A page whose top `dark` rows are black and the rest white.
QImage Page(int width, int height, int dark = 0) {
    QImage page(width, height, QImage::Format_RGB888);
    page.fill(Qt::white);
    for (int y = 0; y < qMin(dark, height); ++y) {
        memset(page.scanLine(y), 0, size_t(width) * 3);
    }
    return page;
}

ThumbnailOptions ByPercent(int percent, bool crop = false, int cropHeight = 768) {
    ThumbnailOptions options;
    options.byWidthAndHeight = false;
    options.percent = percent;
    options.crop = crop;
    options.cropHeight = cropHeight;
    return options;
}

} // namespace

class TestThumbnail : public QObject {
    Q_OBJECT
private slots:
    void size_data() {
        QTest::addColumn<QSize>("page");
        QTest::addColumn<bool>("byWidthAndHeight");
        QTest::addColumn<int>("percent");
        QTest::addColumn<bool>("crop");
        QTest::addColumn<int>("cropHeight");
        QTest::addColumn<QSize>("thumbnail");
        QTest::newRow("fixed size squeezes any page")
            << QSize(1024, 3000) << true << 0 << false << 0 << QSize(160, 180);
        QTest::newRow("fixed size with the crop")
            << QSize(1024, 3000) << true << 0 << true << 768 << QSize(160, 180);
        QTest::newRow("10 % of 1024 x 3000")
            << QSize(1024, 3000) << false << 10 << false << 0 << QSize(102, 300);
        QTest::newRow("10 % of 1004 x 2999")
            << QSize(1004, 2999) << false << 10 << false << 0 << QSize(100, 299);
        QTest::newRow("10 % of the top 768 rows")
            << QSize(1024, 3000) << false << 10 << true << 768 << QSize(102, 76);
        QTest::newRow("10 % of a page extended to 1000 rows")
            << QSize(1024, 800) << false << 10 << true << 1000 << QSize(102, 100);
        QTest::newRow("100 % keeps the size")
            << QSize(37, 41) << false << 100 << false << 0 << QSize(37, 41);
    }
    void size() {
        QFETCH(QSize, page);
        QFETCH(bool, byWidthAndHeight);
        QFETCH(int, percent);
        QFETCH(bool, crop);
        QFETCH(int, cropHeight);
        QFETCH(QSize, thumbnail);
        ThumbnailOptions options = ByPercent(percent, crop, cropHeight);
        options.byWidthAndHeight = byWidthAndHeight;
        QCOMPARE(BuildThumbnail(Page(page.width(), page.height()), options).size(), thumbnail);
    }

    void extendedSourceEndsInAWhiteBand() {
        // Black page of 800 rows, extended to 1000: the last fifth of the thumbnail is white.
        const QImage thumb = BuildThumbnail(Page(1024, 800, 800), ByPercent(10, true, 1000));
        QCOMPARE(thumb.pixel(50, 10), qRgb(0, 0, 0));
        QCOMPARE(thumb.pixel(50, 95), qRgb(255, 255, 255));
    }

    void fixedSizeCropShowsOnlyTheTopRows_data() {
        QTest::addColumn<int>("cropHeight");
        QTest::addColumn<QRgb>("bottom");
        QTest::newRow("top 768 rows of a page dark there") << 768 << qRgb(0, 0, 0);
        QTest::newRow("crop taller than the page keeps the page") << 5000 << qRgb(255, 255, 255);
    }
    void fixedSizeCropShowsOnlyTheTopRows() {
        QFETCH(int, cropHeight);
        QFETCH(QRgb, bottom);
        ThumbnailOptions options;
        options.crop = true;
        options.cropHeight = cropHeight;
        const QImage thumb = BuildThumbnail(Page(1024, 3000, 768), options);
        QCOMPARE(thumb.size(), QSize(160, 180));
        QCOMPARE(thumb.pixel(80, 179), bottom);
    }

    void frameCoversTheOutermostPixelsOnly() {
        ThumbnailOptions options;
        options.border = true;
        options.borderColor = 0x0000FF; // red, in the low byte
        const QImage thumb = BuildThumbnail(Page(1024, 3000), options);
        const QRgb red = qRgb(255, 0, 0);
        for (const QPoint& p : {QPoint(0, 0), QPoint(159, 0), QPoint(159, 179), QPoint(0, 179),
                                QPoint(80, 0), QPoint(80, 179), QPoint(0, 90), QPoint(159, 90)}) {
            QCOMPARE(thumb.pixel(p), red);
        }
        QCOMPARE(thumb.pixel(1, 1), qRgb(255, 255, 255));
    }

    void smoothingOffKeepsDarkStrokes() {
        // One dark row in every ten: averaged it greys, combined by AND it stays black.
        QImage page(1000, 1000, QImage::Format_RGB888);
        page.fill(Qt::white);
        for (int y = 0; y < 1000; y += 10) {
            memset(page.scanLine(y), 0, 3000);
        }
        ThumbnailOptions options;
        options.width = 100;
        options.height = 100;
        const QImage smooth = BuildThumbnail(page, options);
        options.smooth = false;
        const QImage sharp = BuildThumbnail(page, options);
        QCOMPARE(sharp.pixel(50, 50), qRgb(0, 0, 0));
        QVERIFY(qGray(smooth.pixel(50, 50)) > 200);
    }

    void emptyThumbnailIsAnError() {
        QVERIFY_THROWS_EXCEPTION(VistrelError, BuildThumbnail(Page(50, 3000), ByPercent(1)));
    }
};

QTEST_GUILESS_MAIN(TestThumbnail)
#include "tst_thumbnail.moc"
