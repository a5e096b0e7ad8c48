// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/FlatSpinBox.h"

#include <QClipboard>
#include <QLineEdit>
#include <QStyleOptionSpinBox>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// Exposes the style option so the tests can find the arrow buttons.
class SpinProbe : public FlatSpinBox {
public:
    using FlatSpinBox::FlatSpinBox;
    using FlatSpinBox::lineEdit;
    QPoint buttonCentre(QStyle::SubControl control) const {
        QStyleOptionSpinBox opt;
        initStyleOption(&opt);
        return style()->subControlRect(QStyle::CC_SpinBox, &opt, control, this).center();
    }
};

// A window with the spin edit and a second field to move the focus to.
struct Form {
    QWidget window;
    SpinProbe* spin = new SpinProbe(&window);
    QLineEdit* other = new QLineEdit(&window);
    Form(int minValue, int maxValue) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(spin);
        layout->addWidget(other);
        spin->setMinValue(minValue);
        spin->setMaxValue(maxValue);
    }
    bool showAndFocus() {
        window.show();
        if (!QTest::qWaitForWindowActive(&window)) {
            return false;
        }
        spin->setFocus();
        return spin->hasFocus();
    }
    void leave() { other->setFocus(); }
};

} // namespace

class TestFlatSpinEditInteger : public QObject {
    Q_OBJECT
private slots:
    void setValueClamps_data() {
        QTest::addColumn<int>("minValue");
        QTest::addColumn<int>("maxValue");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("5000 in 1..1024") << 1 << 1024 << 5000 << "1024";
        QTest::newRow("-3 in 1..1024") << 1 << 1024 << -3 << "1";
        QTest::newRow("inside") << 0 << 100 << 85 << "85";
        QTest::newRow("min == max takes any") << 5 << 5 << 123456 << "123456";
        QTest::newRow("min == max takes negative") << 0 << 0 << -42 << "-42";
    }
    void setValueClamps() {
        QFETCH(int, minValue);
        QFETCH(int, maxValue);
        QFETCH(int, value);
        QFETCH(QString, shown);
        FlatSpinBox spin;
        spin.setMinValue(minValue);
        spin.setMaxValue(maxValue);
        spin.setValue(value);
        QCOMPARE(spin.text(), shown);
        QCOMPARE(spin.Value(), shown.toInt());
    }

    void readingParsesWithoutClamping_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("pasted 12a") << "12a" << 1;
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("above range is read as is") << "5000" << 5000;
        QTest::newRow("below range is read as is") << "-3" << -3;
    }
    void readingParsesWithoutClamping() {
        QFETCH(QString, text);
        QFETCH(int, value);
        FlatSpinBox spin;
        spin.setMinValue(1);
        spin.setMaxValue(1024);
        spin.setText(text);
        QCOMPARE(spin.Value(), value);
        QCOMPARE(spin.text(), text);
    }

    void newLimitsKeepTheShownNumber() {
        FlatSpinBox spin;
        spin.setMinValue(1);
        spin.setMaxValue(3000);
        spin.setValue(768);
        spin.setMaxValue(500);
        spin.setMinValue(600);
        QCOMPARE(spin.text(), QString("768"));
        spin.setMinValue(1);
        spin.setValue(768);
        QCOMPARE(spin.text(), QString("500"));
    }

    void leavingReclamps_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("above") << "5000"
                               << "1024";
        QTest::newRow("below") << "-3"
                               << "1";
        QTest::newRow("inside stays as typed") << "+77"
                                               << "+77";
        QTest::newRow("no number shows the number read") << "-"
                                                         << "1";
    }
    void leavingReclamps() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Form form(1, 1024);
        QVERIFY(form.showAndFocus());
        form.spin->lineEdit()->selectAll();
        QTest::keyClicks(form.spin, typed);
        QCOMPARE(form.spin->text(), typed);
        form.leave();
        QCOMPARE(form.spin->text(), shown);
    }

    void leavingAppliesALoweredMaximum() {
        Form form(1, 3000);
        form.spin->setValue(2000);
        form.spin->setMaxValue(1200);
        QCOMPARE(form.spin->text(), QString("2000"));
        QVERIFY(form.showAndFocus());
        form.leave();
        QCOMPARE(form.spin->text(), QString("1200"));
    }

    void arrowKeysStepAndClamp_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown");
        QTest::newRow("up") << "10" << int(Qt::Key_Up) << "11";
        QTest::newRow("down") << "10" << int(Qt::Key_Down) << "9";
        QTest::newRow("up at max") << "100" << int(Qt::Key_Up) << "100";
        QTest::newRow("down at min") << "1" << int(Qt::Key_Down) << "1";
        QTest::newRow("up from above range") << "500" << int(Qt::Key_Up) << "100";
        QTest::newRow("up from unparsable") << "x" << int(Qt::Key_Up) << "2";
    }
    void arrowKeysStepAndClamp() {
        QFETCH(QString, start);
        QFETCH(int, key);
        QFETCH(QString, shown);
        Form form(1, 100);
        form.spin->setText(start);
        QVERIFY(form.showAndFocus());
        QTest::keyClick(form.spin, Qt::Key(key));
        QCOMPARE(form.spin->text(), shown);
    }

    void buttonsStepAndClamp() {
        Form form(1, 3);
        form.spin->setValue(2);
        QVERIFY(form.showAndFocus());
        const QPoint up = form.spin->buttonCentre(QStyle::SC_SpinBoxUp);
        const QPoint down = form.spin->buttonCentre(QStyle::SC_SpinBoxDown);
        QTest::mouseClick(form.spin, Qt::LeftButton, {}, up);
        QCOMPARE(form.spin->text(), QString("3"));
        QTest::mouseClick(form.spin, Qt::LeftButton, {}, up);
        QCOMPARE(form.spin->text(), QString("3"));
        for (int i = 0; i < 4; ++i) {
            QTest::mouseClick(form.spin, Qt::LeftButton, {}, down);
        }
        QCOMPARE(form.spin->text(), QString("1"));
    }

    void steppingSaturatesAtIntLimits() {
        FlatSpinBox spin;
        spin.setMinValue(0);
        spin.setMaxValue(0);
        spin.setValue(std::numeric_limits<int>::max());
        spin.stepBy(1);
        QCOMPARE(spin.Value(), std::numeric_limits<int>::max());
    }

    void refusedCharactersLeaveTheText_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letters") << "abc"
                                 << "12";
        QTest::newRow("digits between letters") << "a3b4"
                                                << "1234";
        QTest::newRow("space") << " "
                               << "12";
        QTest::newRow("signs are accepted") << "-+"
                                            << "12-+";
    }
    void refusedCharactersLeaveTheText() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Form form(0, 100);
        form.spin->setText("12");
        QVERIFY(form.showAndFocus());
        form.spin->lineEdit()->end(false);
        QTest::keyClicks(form.spin, typed);
        QCOMPARE(form.spin->text(), shown);
    }

    void enterIsRefused() {
        Form form(1, 100);
        form.spin->setText("500");
        QVERIFY(form.showAndFocus());
        QSignalSpy finished(form.spin, &QAbstractSpinBox::editingFinished);
        QTest::keyClick(form.spin, Qt::Key_Return);
        QTest::keyClick(form.spin, Qt::Key_Enter);
        QTest::keyClick(form.spin, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(form.spin->text(), QString("500"));
        QCOMPARE(finished.count(), 0);
    }

    void backspaceIsAccepted() {
        Form form(0, 100);
        form.spin->setText("123");
        QVERIFY(form.showAndFocus());
        form.spin->lineEdit()->end(false);
        QTest::keyClick(form.spin, Qt::Key_Backspace);
        QCOMPARE(form.spin->text(), QString("12"));
    }

    void pastedTextIsTakenRaw() {
        Form form(1, 1024);
        form.spin->setText("");
        QVERIFY(form.showAndFocus());
        QGuiApplication::clipboard()->setText("12a");
        QTest::keyClick(form.spin, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.spin->text(), QString("12a"));
        QCOMPARE(form.spin->Value(), 1);
    }

    void disabledRefusesInput() {
        Form form(1, 100);
        form.spin->setValue(50);
        QVERIFY(form.showAndFocus());
        form.spin->setEnabled(false);
        QTest::keyClicks(form.spin, "7");
        QTest::keyClick(form.spin, Qt::Key_Up);
        QTest::mouseClick(form.spin, Qt::LeftButton, {},
                          form.spin->buttonCentre(QStyle::SC_SpinBoxUp));
        const QPointF centre = form.spin->rect().center();
        QWheelEvent wheel(centre, form.spin->mapToGlobal(centre), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form.spin, &wheel);
        QCOMPARE(form.spin->text(), QString("50"));
        // Code may still set the value of a disabled field.
        form.spin->setValue(70);
        QCOMPARE(form.spin->text(), QString("70"));
    }
};

QTEST_MAIN(TestFlatSpinEditInteger)
#include "tst_tflatspineditinteger.moc"
