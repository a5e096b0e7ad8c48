// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/EngineCalls.h"
#include "capture/PageRenderer.h"
#include "capture/PaintedView.h"
#include "common/VistrelError.h"
#include "support/Awaited.h"
#include "support/FakeBrowser.h"

#include <QtTest>

// Screens step by viewport - 15 (scroll bar) - 24; a column ends when a strip reaches the
// bottom, the capture when a column reaches the right edge. The counted steps of the older
// design would have painted the same screens several times and, on tall pages, stopped short.
class tst_PageRenderer : public QObject {
    Q_OBJECT

private slots:
    void renderings_data();
    void renderings();
    void pastesLandAtScrollOffsets();
    void otherScrollBarWidth();
    void failuresEndTheCapture_data();
    void failuresEndTheCapture();
    void unusableSizes_data();
    void unusableSizes();
    void pictureLimit();
    void watcherSeesFinalRows_data();
    void watcherSeesFinalRows();
    void partsOfAView_data();
    void partsOfAView();
};

namespace {

// Beyond the page's content (a page smaller than the view) the engine shows white.
QString FirstWrongPixel(const QImage& picture, const QSize& content) {
    for (int y = 0; y < picture.height(); ++y) {
        const uchar* line = picture.constScanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            const bool onPage = x < content.width() && y < content.height();
            const QRgb want = onPage ? FakeBrowser::PagePixel(x, y) : qRgb(255, 255, 255);
            if (line[x * 3] != qRed(want) || line[x * 3 + 1] != qGreen(want) ||
                line[x * 3 + 2] != qBlue(want))
                return QStringLiteral("pixel (%1, %2)").arg(x).arg(y);
        }
    }
    return QString();
}

} // namespace

void tst_PageRenderer::renderings_data() {
    QTest::addColumn<QSize>("view");
    QTest::addColumn<QSize>("page");
    QTest::addColumn<int>("renderings");

    // fits: the counted steps made 8 renderings of one screen
    QTest::newRow("fits exactly") << QSize(1024, 768) << QSize(1024, 768) << 1;
    QTest::newRow("shorter than the view") << QSize(1024, 768) << QSize(640, 300) << 1;
    // 1009 wide: one column; the counted second pass repeated every screen (18 in all)
    QTest::newRow("one column, 5000 high") << QSize(1024, 768) << QSize(1009, 5000) << 7;
    QTest::newRow("reaches the bottom exactly") << QSize(1024, 768) << QSize(1009, 2226) << 3;
    QTest::newRow("one row more") << QSize(1024, 768) << QSize(1009, 2227) << 4;
    // both scroll bars: client 1009 x 753, 4 columns x 3 screens
    QTest::newRow("wide 3000") << QSize(1024, 768) << QSize(3000, 2000) << 12;
    QTest::newRow("wide, no vertical bar") << QSize(1024, 768) << QSize(2000, 700) << 2;
    // the counted first pass (82 screens) ended 183 rows above the bottom
    QTest::newRow("tall 60000") << QSize(1024, 768) << QSize(1009, 60000) << 83;
    QTest::newRow("tall 100000") << QSize(1024, 768) << QSize(1009, 100000) << 138;
    QTest::newRow("1280 x 1024, 30000") << QSize(1280, 1024) << QSize(1265, 30000) << 31;
    QTest::newRow("800 x 600, 40000") << QSize(800, 600) << QSize(785, 40000) << 72;
}

void tst_PageRenderer::renderings() {
    QFETCH(QSize, view);
    QFETCH(QSize, page);
    QFETCH(int, renderings);
    FakeBrowser browser;
    browser.SetViewSize(view);
    browser.SetPageSize(page);
    PageRenderer renderer(browser);
    const QImage picture = Awaited(renderer.Render());
    QCOMPARE(picture.format(), QImage::Format_RGB888);
    QCOMPARE(picture.size(), Awaited(browser.Metrics()).Page);
    QCOMPARE(renderer.Renderings(), renderings);
    QCOMPARE(browser.Renderings(), renderings);
    const QList<QPoint> painted = browser.PaintedPositions();
    QCOMPARE(QSet<QPoint>(painted.begin(), painted.end()).size(), painted.size());
    QCOMPARE(FirstWrongPixel(picture, page), QString());
}

void tst_PageRenderer::pastesLandAtScrollOffsets() {
    FakeBrowser browser;
    browser.SetPageSize(QSize(3000, 2000)); // client 1009 x 753: stops at x 1991, y 1247
    PageRenderer renderer(browser);
    const QImage picture = Awaited(renderer.Render());
    const QList<QPoint> expected{{0, 0},       {0, 729},    {0, 1247},   {985, 0},
                                 {985, 729},   {985, 1247}, {1970, 0},   {1970, 729},
                                 {1970, 1247}, {1991, 0},   {1991, 729}, {1991, 1247}};
    QCOMPARE(browser.PaintedPositions(), expected);
    QCOMPARE(FirstWrongPixel(picture, browser.PageSize()), QString());
}

void tst_PageRenderer::otherScrollBarWidth() {
    FakeBrowser browser;
    browser.SetScrollBarWidth(17);
    browser.SetViewSize(QSize(800, 600)); // client 783 x 583, steps 759 x 559
    browser.SetPageSize(QSize(1600, 1800));
    PageRenderer renderer(browser);
    const QImage picture = Awaited(renderer.Render());
    QCOMPARE(renderer.Renderings(), 3 * 4);
    QCOMPARE(browser.PaintedPositions().at(1), QPoint(0, 559));
    QCOMPARE(browser.PaintedPositions().last(), QPoint(817, 1217));
    QCOMPARE(FirstWrongPixel(picture, browser.PageSize()), QString());
}

void tst_PageRenderer::failuresEndTheCapture_data() {
    QTest::addColumn<int>("call");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("renderings");

    QTest::newRow("metrics") << int(FakeBrowser::Call::Metrics) << 1 << 0;
    QTest::newRow("first scroll") << int(FakeBrowser::Call::Scroll) << 1 << 0;
    QTest::newRow("a later scroll") << int(FakeBrowser::Call::Scroll) << 4 << 3;
    QTest::newRow("first paint") << int(FakeBrowser::Call::Paint) << 1 << 0;
    QTest::newRow("a later paint") << int(FakeBrowser::Call::Paint) << 5 << 4;
}

void tst_PageRenderer::failuresEndTheCapture() {
    QFETCH(int, call);
    QFETCH(int, number);
    QFETCH(int, renderings);
    FakeBrowser browser;
    browser.SetPageSize(QSize(1009, 10000));
    browser.FailOn(FakeBrowser::Call(call), number, QStringLiteral("engine gone"));
    PageRenderer renderer(browser);
    try {
        Awaited(renderer.Render());
        QFAIL("the capture went on after the failure");
    } catch (const VistrelError& error) {
        QCOMPARE(error.message(), QStringLiteral("engine gone"));
    }
    QCOMPARE(browser.Renderings(), renderings);
}

void tst_PageRenderer::unusableSizes_data() {
    QTest::addColumn<QSize>("view");
    QTest::addColumn<QSize>("page");
    QTest::addColumn<QString>("message");

    QTest::newRow("view too small")
        << QSize(39, 300) << QSize(24, 300)
        << QStringLiteral("The browser view (39 x 300) is too small to capture");
    QTest::newRow("no view") << QSize(0, 0) << QSize(0, 0)
                             << QStringLiteral("The browser view (0 x 0) is too small to capture");
}

void tst_PageRenderer::unusableSizes() {
    QFETCH(QSize, view);
    QFETCH(QSize, page);
    QFETCH(QString, message);
    FakeBrowser browser;
    browser.SetViewSize(view);
    browser.SetPageSize(page);
    PageRenderer renderer(browser);
    try {
        Awaited(renderer.Render());
        QFAIL("an unusable view was captured");
    } catch (const VistrelError& error) {
        QCOMPARE(error.message(), message);
    }
    QCOMPARE(browser.Renderings(), 0);
}

void tst_PageRenderer::pictureLimit() {
    QVERIFY(PageRenderer::FitsInPicture(QSize(1024, 100000)));
    QVERIFY(PageRenderer::FitsInPicture(QSize(65536, 21845))); // 4,294,901,760 bytes
    QVERIFY(!PageRenderer::FitsInPicture(QSize(65536, 21846)));
    QVERIFY(!PageRenderer::FitsInPicture(QSize(1024, 0)));
    FakeBrowser browser;
    browser.SetPageSize(QSize(100000, 100000));
    PageRenderer renderer(browser);
    QVERIFY_THROWS_EXCEPTION(VistrelError, Awaited(renderer.Render()));
    QCOMPARE(browser.Renderings(), 0);
}

// The file is written from the rows reported final while later screens are still being
// pasted: they must hold the page by then, in the very picture that is returned. On a wide page
// rows are final only in its last column.
void tst_PageRenderer::watcherSeesFinalRows_data() {
    QTest::addColumn<QSize>("page");
    QTest::addColumn<QList<int>>("reported");
    QTest::newRow("one screen wide")
        << QSize(1009, 5000) << QList<int>({0, 729, 1458, 2187, 2916, 3645, 4232, 5000});
    QTest::newRow("four screens wide") << QSize(3000, 2000) << QList<int>({0, 729, 1247, 2000});
}

void tst_PageRenderer::watcherSeesFinalRows() {
    QFETCH(QSize, page);
    QFETCH(QList<int>, reported);
    FakeBrowser browser;
    browser.SetPageSize(page);
    PageRenderer renderer(browser);
    const uchar* watched = nullptr;
    QList<int> told;
    QString wrong;
    renderer.SetPictureWatcher([&](const QImage& picture, int rowsFinal) {
        if (rowsFinal == 0)
            watched = picture.constBits();
        else if (wrong.isEmpty())
            wrong = FirstWrongPixel(picture.copy(0, 0, picture.width(), rowsFinal),
                                    QSize(picture.width(), rowsFinal));
        told << rowsFinal;
    });
    const QImage picture = Awaited(renderer.Render());
    QCOMPARE(wrong, QString());
    QCOMPARE(picture.constBits(), watched);
    QCOMPARE(told, reported);
}

// A part of a view painted whole, and a patch over a view: in device pixels of the view, at
// every device scale, and nothing of the patch beyond the view.
void tst_PageRenderer::partsOfAView_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<QRect>("part");
    QTest::addColumn<QPoint>("patchAt");
    QTest::newRow("a column at the right, 1") << 1 << QRect(14, 0, 6, 10) << QPoint(0, 0);
    QTest::newRow("the last rows, 2") << 2 << QRect(0, 7, 20, 3) << QPoint(36, 16);
    QTest::newRow("a corner, 3, patch past the edge") << 3 << QRect(16, 6, 4, 4) << QPoint(58, 28);
}

void tst_PageRenderer::partsOfAView() {
    QFETCH(int, scale);
    QFETCH(QRect, part);
    QFETCH(QPoint, patchAt);
    QImage whole(QSize(20, 10) * scale, QImage::Format_RGB888);
    for (int y = 0; y < whole.height(); ++y)
        for (int x = 0; x < whole.width(); ++x)
            whole.setPixel(x, y, qRgb(x, y, 77));
    EngineCalls calls;
    const QRect device(part.topLeft() * scale, part.size() * scale);
    QCOMPARE(Awaited(PaintedView(whole).Part(part, QSize(20, 10)).Whole(calls)),
             whole.copy(device));

    QImage patch(4, 4, QImage::Format_RGB888);
    patch.fill(qRgb(1, 2, 3));
    PaintedView patched(whole);
    patched.Patch(patch, patchAt);
    QImage expected = whole;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            if (expected.rect().contains(patchAt + QPoint(x, y)))
                expected.setPixel(patchAt + QPoint(x, y), qRgb(1, 2, 3));
    QCOMPARE(Awaited(patched.Whole(calls)), expected);
}

QTEST_GUILESS_MAIN(tst_PageRenderer)
#include "tst_pagerenderer.moc"
