// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/FlatGroupBox.h"
#include "gui/widgets/StyledButton.h"
#include "gui/widgets/StyledCheckBox.h"
#include "gui/widgets/StyledProgressBar.h"

#include <QVBoxLayout>
#include <QtTest>

namespace {

QImage Render(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Rows in which two pictures of the same size differ.
QPair<int, int> DifferingRows(const QImage& a, const QImage& b) {
    int first = -1;
    int last = -1;
    for (int y = 0; y < a.height(); ++y) {
        if (memcmp(a.constScanLine(y), b.constScanLine(y), a.bytesPerLine()) != 0) {
            first = first < 0 ? y : first;
            last = y;
        }
    }
    return {first, last};
}

bool IsGreenish(QRgb c) {
    return qGreen(c) > qRed(c) + 40 && qGreen(c) > qBlue(c) + 40;
}

} // namespace

class TestXPControls : public QObject {
    Q_OBJECT
private slots:
    void progressRange_data() {
        QTest::addColumn<int>("maxValue");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("shownMax");
        QTest::addColumn<int>("shownPosition");
        QTest::addColumn<double>("fraction");
        QTest::newRow("half") << 100 << 50 << 100 << 50 << 0.5;
        QTest::newRow("max 0, position 0") << 0 << 0 << 0 << 0 << 0.0;
        QTest::newRow("position above max") << 100 << 250 << 100 << 100 << 1.0;
        QTest::newRow("reported -1 shows empty") << 100 << -1 << 100 << 0 << 0.0;
        QTest::newRow("max below min becomes min") << -5 << 3 << 0 << 0 << 0.0;
        QTest::newRow("range of one") << 1 << 1 << 1 << 1 << 1.0;
    }
    void progressRange() {
        QFETCH(int, maxValue);
        QFETCH(int, position);
        QFETCH(int, shownMax);
        QFETCH(int, shownPosition);
        QFETCH(double, fraction);
        StyledProgressBar bar;
        bar.setMax(maxValue);
        bar.setPosition(position);
        QCOMPARE(bar.Max(), shownMax);
        QCOMPARE(bar.Position(), shownPosition);
        QCOMPARE(bar.FilledFraction(), fraction);
    }

    void progressLoweredMaxPullsPositionDown() {
        StyledProgressBar bar;
        bar.setPosition(80);
        bar.setMax(30);
        QCOMPARE(bar.Position(), 30);
        bar.setMin(50);
        QCOMPARE(bar.Min(), 30);
        QCOMPARE(bar.Position(), 30);
    }

    void progressHugeRangeDoesNotOverflow() {
        StyledProgressBar bar;
        bar.setMin(std::numeric_limits<int>::min());
        bar.setMax(std::numeric_limits<int>::max());
        bar.setPosition(0);
        QVERIFY(qAbs(bar.FilledFraction() - 0.5) < 1e-6);
    }

    void progressPaintsItsFill_data() {
        QTest::addColumn<int>("maxValue");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("smooth");
        QTest::addColumn<bool>("leftFilled");
        QTest::addColumn<bool>("rightFilled");
        QTest::newRow("empty range") << 0 << 0 << true << false << false;
        QTest::newRow("zero") << 100 << 0 << true << false << false;
        QTest::newRow("quarter") << 100 << 25 << true << true << false;
        QTest::newRow("full") << 100 << 100 << true << true << true;
        QTest::newRow("full in blocks") << 100 << 100 << false << true << true;
    }
    void progressPaintsItsFill() {
        QFETCH(int, maxValue);
        QFETCH(int, position);
        QFETCH(bool, smooth);
        QFETCH(bool, leftFilled);
        QFETCH(bool, rightFilled);
        StyledProgressBar bar;
        bar.resize(200, 16);
        bar.setSmooth(smooth);
        bar.setMax(maxValue);
        bar.setPosition(position);
        const QImage img = Render(bar);
        QCOMPARE(IsGreenish(img.pixel(6, 8)), leftFilled);
        QCOMPARE(IsGreenish(img.pixel(193, 8)), rightFilled);
    }

    void buttonClickFiresOnceWhenEnabled() {
        StyledButton button;
        button.setCaption(QString::fromUtf8("下一步"));
        button.resize(80, 25);
        QSignalSpy clicked(&button, &QPushButton::clicked);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        button.setEnabled(false);
        QTest::mouseClick(&button, Qt::LeftButton);
        button.click();
        QCOMPARE(clicked.count(), 1);
    }

    void buttonDisabledLooksDisabled() {
        StyledButton button;
        button.setCaption("OK");
        button.resize(80, 25);
        const QImage enabled = Render(button);
        button.setEnabled(false);
        QVERIFY(Render(button) != enabled);
    }

    void acceleratorClicks_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("clicks");
        QTest::newRow("开始(&T)") << QString::fromUtf8("开始(&T)") << int(Qt::Key_T) << 1;
        QTest::newRow("other letter") << QString::fromUtf8("开始(&T)") << int(Qt::Key_S) << 0;
        QTest::newRow("&& is no accelerator") << "R&&D" << int(Qt::Key_D) << 0;
    }
    void acceleratorClicks() {
        QFETCH(QString, caption);
        QFETCH(int, key);
        QFETCH(int, clicks);
        QWidget window;
        auto* button = new StyledButton(&window);
        auto* other = new StyledButton(&window);
        other->setCaption("&Other");
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(button);
        layout->addWidget(other);
        button->setCaption(caption);
        QCOMPARE(button->caption(), caption);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other->setFocus();
        QSignalSpy clicked(button, &QPushButton::clicked);
        // A shortcut presses the button briefly before it clicks.
        QTest::keyClick(&window, Qt::Key(key), Qt::AltModifier);
        QTest::qWait(250);
        QCOMPARE(clicked.count(), clicks);
        button->setEnabled(false);
        QTest::keyClick(&window, Qt::Key(key), Qt::AltModifier);
        QTest::qWait(250);
        QCOMPARE(clicked.count(), clicks);
    }

    void acceleratorLetterIsUnderlined() {
        StyledButton marked;
        StyledButton plain;
        marked.resize(100, 25);
        plain.resize(100, 25);
        marked.setCaption(QString::fromUtf8("开始(&T)"));
        plain.setCaption(QString::fromUtf8("开始(T)"));
        const QImage a = Render(marked);
        const QImage b = Render(plain);
        // Same text, so only the underline's rows differ, below the middle.
        const auto [first, last] = DifferingRows(a, b);
        QVERIFY(first > a.height() / 2);
        QVERIFY(last - first <= 2);
    }

    void doubledAmpersandShowsOne() {
        StyledButton doubled;
        StyledButton none;
        doubled.resize(100, 25);
        none.resize(100, 25);
        doubled.setCaption("R&&D");
        none.setCaption("RD");
        QVERIFY(Render(doubled) != Render(none));
        QCOMPARE(QKeySequence::mnemonic("R&&D"), QKeySequence());
    }

    void xpCheckboxClickAndCodeSet() {
        StyledCheckBox box;
        box.setText(QString::fromUtf8("显示浏览器"));
        box.resize(box.sizeHint());
        QSignalSpy clicked(&box, &QAbstractButton::clicked);
        box.setChecked(true);
        QVERIFY(box.Checked());
        QCOMPARE(clicked.count(), 0);
        QTest::mouseClick(&box, Qt::LeftButton);
        QVERIFY(!box.Checked());
        QCOMPARE(clicked.count(), 1);
        const QImage unticked = Render(box);
        box.setChecked(true);
        QVERIFY(Render(box) != unticked);
    }

    void groupBoxBorderColour() {
        QWidget window;
        window.setStyleSheet("background: white");
        auto* group = new FlatGroupBox(QString::fromUtf8("右键菜单"), &window);
        group->setGeometry(0, 0, 200, 100);
        QCOMPARE(group->ColorBorder(), quint32(12164479));
        group->setColorBorder(0x0000ff);
        const QImage img = Render(window);
        QCOMPARE(QColor(img.pixel(0, 60)), QColor(255, 0, 0));
        QCOMPARE(QColor(img.pixel(199, 60)), QColor(255, 0, 0));
        QCOMPARE(QColor(img.pixel(100, 99)), QColor(255, 0, 0));
    }
};

QTEST_MAIN(TestXPControls)
#include "tst_xpcontrols.moc"
