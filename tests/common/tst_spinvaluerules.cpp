// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/ColorRef.h"
#include "common/SpinValueRules.h"

#include <QtTest>
#include <limits>

using namespace SpinValueRules;

class TestSpinValueRules : public QObject {
    Q_OBJECT
private slots:
    void clamp_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("minValue");
        QTest::addColumn<int>("maxValue");
        QTest::addColumn<int>("expected");
        QTest::newRow("above") << 5000 << 1 << 1024 << 1024;
        QTest::newRow("below") << -3 << 1 << 1024 << 1;
        QTest::newRow("inside") << 160 << 1 << 1024 << 160;
        QTest::newRow("on max") << 1024 << 1 << 1024 << 1024;
        QTest::newRow("on min") << 0 << 0 << 100 << 0;
        QTest::newRow("equal limits take any") << 5000 << 7 << 7 << 5000;
        QTest::newRow("equal limits take negative") << -9 << 0 << 0 << -9;
        QTest::newRow("min above max: min wins") << 7 << 10 << 5 << 10;
        QTest::newRow("int extremes") << std::numeric_limits<int>::min() << 1 << 3000 << 1;
    }
    void clamp() {
        QFETCH(int, value);
        QFETCH(int, minValue);
        QFETCH(int, maxValue);
        QFETCH(int, expected);
        QCOMPARE(Clamp(value, minValue, maxValue), expected);
    }

    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("parsed");
        QTest::newRow("plain") << "768" << 768 << true;
        QTest::newRow("signed") << "-3" << -3 << true;
        QTest::newRow("plus") << "+12" << 12 << true;
        QTest::newRow("blanks") << " 42 " << 42 << true;
        QTest::newRow("trailing letter") << "12a" << 1 << false;
        QTest::newRow("empty") << "" << 1 << false;
        QTest::newRow("sign only") << "-" << 1 << false;
        QTest::newRow("decimal") << "1.5" << 1 << false;
        QTest::newRow("hex is not decimal") << "0x10" << 1 << false;
        QTest::newRow("beyond int") << "99999999999" << 1 << false;
        QTest::newRow("int max") << "2147483647" << 2147483647 << true;
        QTest::newRow("full-width digits") << QString::fromUtf8("１２") << 1 << false;
    }
    void parse() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QFETCH(bool, parsed);
        bool ok = !parsed;
        QCOMPARE(Parse(text, 1, &ok), expected);
        QCOMPARE(ok, parsed);
    }

    void acceptedChar_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("digits") << "0123456789" << true;
        QTest::newRow("signs") << "+-" << true;
        QTest::newRow("decimal separator") << "," << true;
        QTest::newRow("backspace") << "\b" << true;
        QTest::newRow("ctrl+v") << "\x16" << true;
        QTest::newRow("delete") << "\x7f" << true;
        QTest::newRow("enter") << "\r" << false;
        QTest::newRow("line feed") << "\n" << false;
        QTest::newRow("letter") << "a" << false;
        QTest::newRow("point when separator is comma") << "." << false;
        QTest::newRow("space") << " " << false;
        QTest::newRow("CJK") << QString::fromUtf8("一") << false;
        QTest::newRow("mixed") << "12a" << false;
    }
    void acceptedChar() {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QCOMPARE(IsAcceptedText(typed, QLatin1Char(',')), accepted);
    }

    void colorRef_data() {
        QTest::addColumn<quint32>("colorRef");
        QTest::addColumn<QColor>("color");
        QTest::newRow("red is low") << quint32(0x0000ff) << QColor(255, 0, 0);
        QTest::newRow("blue is high") << quint32(0xff0000) << QColor(0, 0, 255);
        QTest::newRow("border") << quint32(12164479) << QColor(0x7f, 0x9d, 0xb9);
    }
    void colorRef() {
        QFETCH(quint32, colorRef);
        QFETCH(QColor, color);
        QCOMPARE(ColorRef::ToColor(colorRef), color);
        QCOMPARE(ColorRef::FromColor(color), colorRef);
    }
    void automaticColourHasNoColourBits() {
        QCOMPARE(ColorRef::ToColor(ColorRef::Automatic), QColor(0, 0, 0));
    }
};

QTEST_GUILESS_MAIN(TestSpinValueRules)
#include "tst_spinvaluerules.moc"
