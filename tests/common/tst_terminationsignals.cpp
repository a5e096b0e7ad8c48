// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TerminationSignals.h"

#include <QSignalSpy>
#include <QtTest>

#include <csignal>

class tst_TerminationSignals : public QObject {
    Q_OBJECT

private slots:
    // Each one arrives through the event loop, so the run's own code can end it cleanly.
    void deliveredInTheEventLoop_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void deliveredInTheEventLoop() {
        QFETCH(int, signal);
        TerminationSignals termination;
        QSignalSpy spy(&termination, &TerminationSignals::Received);
        std::raise(signal);
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.first().first().toInt(), signal);
        QCOMPARE(TerminationSignals::ExitStatusFor(signal), 128 + signal);
    }

    void describedByName() {
        QCOMPARE(TerminationSignals::Description(SIGTERM),
                 QStringLiteral("ended by SIGTERM (Terminated)"));
    }
};

QTEST_GUILESS_MAIN(tst_TerminationSignals)
#include "tst_terminationsignals.moc"
