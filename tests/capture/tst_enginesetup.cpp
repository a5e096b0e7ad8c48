// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/EngineSetup.h"

#include <QtTest>

#include <unistd.h>

class tst_EngineSetup : public QObject {
    Q_OBJECT

private slots:
    void flags_data();
    void flags();
    void sandboxOnlyOffForRoot();
    void softwareDrawingUnlessChosen();
};

void tst_EngineSetup::flags_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("unattended");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("interactive") << QByteArray() << false
                                 << QByteArray("--force-color-profile=srgb");
    QTest::newRow("unattended") << QByteArray() << true
                                << QByteArray(
                                       "--force-color-profile=srgb --disable-frame-rate-limit");
    QTest::newRow("kept and added to")
        << QByteArray("--lang=de") << false << QByteArray("--lang=de --force-color-profile=srgb");
    QTest::newRow("own colour profile wins")
        << QByteArray("--force-color-profile=display-p3-d65") << true
        << QByteArray("--force-color-profile=display-p3-d65 --disable-frame-rate-limit");
    QTest::newRow("not added twice") << QByteArray("--disable-frame-rate-limit") << true
                                     << QByteArray("--disable-frame-rate-limit "
                                                   "--force-color-profile=srgb");
}

void tst_EngineSetup::flags() {
    QFETCH(QByteArray, before);
    QFETCH(bool, unattended);
    QFETCH(QByteArray, after);
    if (before.isEmpty())
        qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    else
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", before);
    PrepareBrowserEngine(unattended ? EngineUse::Unattended : EngineUse::Interactive);
    QCOMPARE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), after);
}

void tst_EngineSetup::sandboxOnlyOffForRoot() {
    qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    PrepareBrowserEngine();
    QCOMPARE(qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"), geteuid() == 0);
}

void tst_EngineSetup::softwareDrawingUnlessChosen() {
    qunsetenv("QT_QUICK_BACKEND");
    PrepareBrowserEngine();
    QCOMPARE(qgetenv("QT_QUICK_BACKEND"), QByteArray("software"));
    qputenv("QT_QUICK_BACKEND", "opengl");
    PrepareBrowserEngine();
    QCOMPARE(qgetenv("QT_QUICK_BACKEND"), QByteArray("opengl"));
}

QTEST_GUILESS_MAIN(tst_EngineSetup)
#include "tst_enginesetup.moc"
