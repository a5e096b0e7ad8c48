// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/PictureLabel.h"
#include "gui/PictureViewer.h"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QtTest>

// The picture viewer: where the picture sits, what the status bar says, scrolling.
class tst_ViewForm : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void placement_data();
    void placement();
    void tallPicturePaintsWhatIsVisible();
    void reopensAtTopLeft();
    void homeAndEndKeys_data();
    void homeAndEndKeys();

private:
    // Shows the viewer modally, runs check inside, closes it.
    void WhileShown(const std::function<void()>& check);

    PictureViewer* FView = nullptr;
};

void tst_ViewForm::init() {
    FView = new PictureViewer;
}

void tst_ViewForm::cleanup() {
    delete FView;
}

void tst_ViewForm::WhileShown(const std::function<void()>& check) {
    bool ran = false;
    QTimer::singleShot(0, this, [&] {
        // the window system maximises the window a moment after it is shown
        QTRY_VERIFY(FView->size() != QSize(696, 480));
        QTest::qWait(50);
        check();
        ran = true;
        FView->close();
    });
    FView->ShowModal();
    QVERIFY(ran);
}

void tst_ViewForm::placement_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<bool>("leftEdge");
    QTest::addColumn<bool>("topEdge");

    QTest::newRow("smaller: centred") << QSize(300, 200) << false << false;
    QTest::newRow("wider and taller: top left") << QSize(3000, 2000) << true << true;
    QTest::newRow("taller only") << QSize(300, 5000) << false << true;
    QTest::newRow("wider only") << QSize(5000, 100) << true << false;
}

void tst_ViewForm::placement() {
    QFETCH(QSize, picture);
    QFETCH(bool, leftEdge);
    QFETCH(bool, topEdge);
    QImage image(picture, QImage::Format_RGB888);
    image.fill(Qt::darkCyan);
    FView->SetPicture(image);
    image.fill(Qt::red); // the viewer holds its own copy
    WhileShown([&] {
        QVERIFY(FView->windowState() & Qt::WindowMaximized);
        QCOMPARE(FView->pictureLabel->Picture().pixel(0, 0), QColor(Qt::darkCyan).rgb());
        QCOMPARE(FView->PanelText(0),
                 QStringLiteral("%1 x %2").arg(picture.width()).arg(picture.height()));
        QVERIFY(FView->PanelText(1).isEmpty());
        const int bar = FView->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const QSize window = FView->size();
        const int left = (window.width() - (topEdge ? bar : 0) - picture.width()) / 2;
        const int top = (window.height() - (leftEdge ? bar : 0) - picture.height()) / 2;
        QCOMPARE(
            FView->pictureLabel->pos(),
            QPoint(leftEdge ? 0 : left, topEdge ? 0 : top)); // the height counts the status bar
        QCOMPARE(FView->ScrollBox1->horizontalScrollBar()->maximum() > 0, leftEdge);
        QCOMPARE(FView->ScrollBox1->verticalScrollBar()->maximum() > 0, topEdge);
    });
}

// A picture too tall for one pixmap is painted from the picture, part by part.
void tst_ViewForm::tallPicturePaintsWhatIsVisible() {
    QImage image(1024, 40000, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            line[3 * x] = uchar(x);
            line[3 * x + 1] = uchar(y);
            line[3 * x + 2] = uchar(y >> 8);
        }
    }
    FView->SetPicture(image);
    WhileShown([&] {
        QScrollBar* vertical = FView->ScrollBox1->verticalScrollBar();
        vertical->setValue(vertical->maximum());
        QWidget* viewport = FView->ScrollBox1->viewport();
        const QImage shown = viewport->grab().toImage().convertToFormat(QImage::Format_RGB888);
        const QPoint origin = FView->pictureLabel->mapTo(viewport, QPoint(0, 0));
        const QRect part = QRect(-origin, shown.size()) & image.rect();
        QVERIFY(part.bottom() == image.height() - 1);
        QCOMPARE(shown.copy(QRect(part.topLeft() + origin, part.size())), image.copy(part));
    });
}

void tst_ViewForm::reopensAtTopLeft() {
    QImage image(4000, 4000, QImage::Format_RGB888);
    image.fill(Qt::white);
    FView->SetPicture(image);
    WhileShown([&] {
        FView->ScrollBox1->horizontalScrollBar()->setValue(700);
        FView->ScrollBox1->verticalScrollBar()->setValue(900);
    });
    bool escaped = false;
    QTimer::singleShot(0, this, [&] {
        QCOMPARE(FView->ScrollBox1->horizontalScrollBar()->value(), 0);
        QCOMPARE(FView->ScrollBox1->verticalScrollBar()->value(), 0);
        FView->ScrollBox1->verticalScrollBar()->setValue(500);
        QTest::keyClick(FView, Qt::Key_Escape);
        escaped = true;
    });
    FView->ShowModal();
    QVERIFY(escaped);
    QCOMPARE(FView->ScrollBox1->verticalScrollBar()->value(), 0);
}

// Each key from the middle of a picture larger than the window both ways; -1 stands for the
// scroll bar's maximum, 1 for where it was.
void tst_ViewForm::homeAndEndKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("control");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::newRow("Home: top") << int(Qt::Key_Home) << false << 1 << 0;
    QTest::newRow("End: bottom") << int(Qt::Key_End) << false << 1 << -1;
    QTest::newRow("Ctrl+Home: top left") << int(Qt::Key_Home) << true << 0 << 0;
    QTest::newRow("Ctrl+End: bottom right") << int(Qt::Key_End) << true << -1 << -1;
}

void tst_ViewForm::homeAndEndKeys() {
    QFETCH(int, key);
    QFETCH(bool, control);
    QFETCH(int, x);
    QFETCH(int, y);
    QImage image(4000, 6000, QImage::Format_RGB888);
    image.fill(Qt::white);
    FView->SetPicture(image);
    WhileShown([&] {
        QScrollBar* bars[] = {FView->ScrollBox1->horizontalScrollBar(),
                              FView->ScrollBox1->verticalScrollBar()};
        for (QScrollBar* bar : bars)
            bar->setValue(bar->maximum() / 2);
        QTest::keyClick(FView->ScrollBox1, Qt::Key(key),
                        control ? Qt::ControlModifier : Qt::NoModifier);
        const int codes[] = {x, y};
        for (int i = 0; i < 2; ++i) {
            const int max = bars[i]->maximum();
            QCOMPARE(bars[i]->value(), codes[i] == -1 ? max : codes[i] == 1 ? max / 2 : 0);
        }
    });
}

QTEST_MAIN(tst_ViewForm)
#include "tst_viewform.moc"
