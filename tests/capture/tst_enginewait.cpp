// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/EngineWait.h"
#include "common/VistrelError.h"

#include <QtTest>

class tst_EngineWait : public QObject {
    Q_OBJECT

private slots:
    void answerBeforeWaiting();
    void answerWhileWaiting();
    void timeOut();
    void lateAnswerAfterTimeOut();
    void noSecondWaitInsideTheFirst();
};

void tst_EngineWait::answerBeforeWaiting() {
    EngineWait wait(QStringLiteral("test"), 10);
    wait.Finisher()();
    wait.Wait();
    QVERIFY(wait.Finished());
}

void tst_EngineWait::answerWhileWaiting() {
    EngineWait wait(QStringLiteral("test"), 5000);
    QTimer::singleShot(20, wait.Finisher());
    QElapsedTimer clock;
    clock.start();
    wait.Wait();
    QVERIFY(wait.Finished());
    QVERIFY(clock.elapsed() < 4000);
    QVERIFY(!EngineWait::Busy());
}

void tst_EngineWait::timeOut() {
    EngineWait wait(QStringLiteral("scroll"), 30);
    try {
        wait.Wait();
        QFAIL("the wait did not end");
    } catch (const VistrelError& error) {
        QCOMPARE(error.message(), QStringLiteral("The page did not answer in time (scroll)"));
    }
    QVERIFY(!EngineWait::Busy());
}

void tst_EngineWait::lateAnswerAfterTimeOut() {
    std::function<void()> late;
    {
        EngineWait wait(QStringLiteral("test"), 10);
        late = wait.Finisher();
        QVERIFY_THROWS_EXCEPTION(VistrelError, wait.Wait());
    }
    late(); // the engine answers after the caller gave up: nothing to wake, nothing to break
}

void tst_EngineWait::noSecondWaitInsideTheFirst() {
    EngineWait outer(QStringLiteral("outer"), 5000);
    bool refused = false;
    QTimer::singleShot(10, [&] {
        EngineWait inner(QStringLiteral("inner"), 5000);
        inner.Finisher()();
        inner.Wait(); // already answered: no loop needed, allowed
        EngineWait second(QStringLiteral("second"), 5000);
        try {
            second.Wait();
        } catch (const VistrelError&) {
            refused = true;
        }
        outer.Finisher()();
    });
    outer.Wait();
    QVERIFY(refused);
}

QTEST_GUILESS_MAIN(tst_EngineWait)
#include "tst_enginewait.moc"
