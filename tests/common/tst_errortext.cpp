// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ErrorText.h"

#include <QtTest>

class TestErrorText : public QObject {
    Q_OBJECT
private slots:
    void fullStopRule_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "Cannot open file" << "Cannot open file.";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("ends in full stop") << "Done." << "Done.";
        QTest::newRow("ends in space") << "Save successful.    " << "Save successful.    ";
        QTest::newRow("ends in slash (47)") << "/tmp/" << "/tmp/.";
        QTest::newRow("ends in hyphen (45)") << "a -" << "a -";
        QTest::newRow("ends in quote (34)") << "cannot create \"x\"" << "cannot create \"x\"";
        QTest::newRow("ends in CJK") << QString::fromUtf8("无效数据类型 SR") << QString::fromUtf8("无效数据类型 SR.");
    }
    void fullStopRule() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorReportText(message), shown);
    }
};

QTEST_GUILESS_MAIN(TestErrorText)
#include "tst_errortext.moc"
