// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/EngineCalls.h"
#include "common/VistrelError.h"
#include "support/Awaited.h"
#include "support/TestHelpers.h"

#include <QtTest>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

class tst_EngineWait : public QObject {
    Q_OBJECT

private slots:
    void ends_data();
    void ends();
    void lateAnswerAfterTimeOut();
    void orphanedWaitIsNeverResumed();
    void abortAllEndsEveryWait();
};

namespace {

QCoro::Task<> AwaitOnce(EngineCalls& calls, EngineWait& wait) {
    co_await calls.Await(wait);
}

} // namespace

void tst_EngineWait::ends_data() {
    QTest::addColumn<int>("answerMs"); // -1: never, -2: before waiting
    QTest::addColumn<QString>("abort");
    QTest::addColumn<QString>("error");

    QTest::newRow("answered before") << -2 << QString() << QStringLiteral("(no error)");
    QTest::newRow("answered while waiting") << 20 << QString() << QStringLiteral("(no error)");
    QTest::newRow("time out") << -1 << QString()
                              << QStringLiteral("The page did not answer in time (scroll)");
    QTest::newRow("aborted") << -1 << QStringLiteral("the page's process crashed")
                             << QStringLiteral("the page's process crashed");
}

void tst_EngineWait::ends() {
    QFETCH(int, answerMs);
    QFETCH(QString, abort);
    QFETCH(QString, error);
    EngineCalls calls;
    EngineWait wait(QStringLiteral("scroll"), 200);
    if (answerMs == -2)
        wait.Finisher()();
    else if (answerMs >= 0)
        QTimer::singleShot(answerMs, wait.Finisher());
    if (!abort.isEmpty())
        QTimer::singleShot(10, [&] { calls.AbortAll(abort); });
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(ErrorOf([&] { Awaited(AwaitOnce(calls, wait)); }), error);
    QVERIFY(clock.elapsed() < 2000);
    QCOMPARE(wait.TimedOut(), error.contains(u"in time"));
}

void tst_EngineWait::lateAnswerAfterTimeOut() {
    std::function<void()> late;
    {
        EngineCalls calls;
        EngineWait wait(QStringLiteral("test"), 10);
        late = wait.Finisher();
        QVERIFY_THROWS_EXCEPTION(VistrelError, Awaited(AwaitOnce(calls, wait)));
    }
    late(); // the engine answers after the caller gave up: nothing to wake, nothing to break
    QTest::qWait(20);
}

// Its owner gone, a wait goes on neither by its answer nor by its limit.
void tst_EngineWait::orphanedWaitIsNeverResumed() {
    bool resumed = false;
    std::function<void()> answer;
    {
        auto calls = std::make_unique<EngineCalls>();
        auto wait = std::make_shared<EngineWait>(QStringLiteral("test"), 30);
        answer = wait->Finisher();
        auto run = [&resumed](EngineCalls& calls,
                              std::shared_ptr<EngineWait> wait) -> QCoro::Task<> {
            try {
                co_await calls.Await(*wait);
            } catch (const VistrelError&) {
            }
            resumed = true;
        };
#ifdef __SANITIZE_ADDRESS__
        __lsan_disable(); // the orphan's frames are left by design: nothing may touch them
#endif
        auto task = run(*calls, wait);
#ifdef __SANITIZE_ADDRESS__
        __lsan_enable();
#endif
        calls.reset();
    }
    answer();
    QTest::qWait(100);
    QVERIFY(!resumed);
}

void tst_EngineWait::abortAllEndsEveryWait() {
    EngineCalls calls;
    EngineWait first(QStringLiteral("first"), 5000);
    EngineWait second(QStringLiteral("second"), 5000);
    QStringList ended;
    auto run = [&](EngineWait& wait) -> QCoro::Task<> {
        try {
            co_await calls.Await(wait);
        } catch (const VistrelError& error) {
            ended << error.message();
        }
    };
    auto one = run(first);
    auto two = run(second);
    calls.AbortAll(QStringLiteral("stopped"));
    QTRY_COMPARE(ended, (QStringList{QStringLiteral("stopped"), QStringLiteral("stopped")}));
}

QTEST_GUILESS_MAIN(tst_EngineWait)
#include "tst_enginewait.moc"
