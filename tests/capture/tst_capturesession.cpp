// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/CaptureSession.h"
#include "support/FakeBrowser.h"

#include <QtTest>

namespace {

const QString Address = QStringLiteral("http://page.test/");

CaptureJob JobFor(const QString& address) {
    CaptureJob job;
    job.address = address;
    return job;
}

// What a session reported, as one line: "captured WxH", "failed <kind>: <message>".
struct Outcome {
    QString text;
    QStringList warnings;
    QList<QPair<int, int>> screens;
    int loadProgress = 0;

    explicit Outcome(CaptureSession& session) {
        QObject::connect(&session, &CaptureSession::Captured, [this](const QImage& picture) {
            text = QStringLiteral("captured %1x%2").arg(picture.width()).arg(picture.height());
        });
        QObject::connect(&session, &CaptureSession::Failed,
                         [this](CaptureFailure failure, const QString& message) {
                             text = QStringLiteral("failed %1: %2").arg(int(failure)).arg(message);
                         });
        QObject::connect(&session, &CaptureSession::Warning,
                         [this](const QString& message) { warnings << message; });
        QObject::connect(&session, &CaptureSession::ScreensProgress,
                         [this](int done, int planned) { screens << qMakePair(done, planned); });
        QObject::connect(&session, &CaptureSession::LoadProgress,
                         [this](int, int) { ++loadProgress; });
    }
};

} // namespace

class tst_CaptureSession : public QObject {
    Q_OBJECT

private slots:
    void outcomes_data();
    void outcomes();
    void progressCountsScreens();
    void stopPartWay();
    void nothingToCapture();
};

// Each step of `events` happens in turn after Start: "complete", "fail", "document" (the page
// is there, its load goes on), "limit" (wait until the 1 s limit passes), "metrics-error",
// "complete-in-limit-check" / "fail-in-limit-check" (the load ends while the engine call that
// the time limit's check awaits is under way).
void tst_CaptureSession::outcomes_data() {
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<bool>("warned");
    const QString captured = QStringLiteral("captured 1009x3000");
    const QString loadFailed = QStringLiteral("failed %1: ").arg(int(CaptureFailure::LoadFailed));
    QTest::newRow("loaded") << QStringList{"complete"} << captured << false;
    QTest::newRow("load fails") << QStringList{"fail"}
                                << loadFailed + "Could not load " + Address + ": refused" << false;
    QTest::newRow("limit, nothing arrived")
        << QStringList{"limit"} << loadFailed + "nothing of " + Address + " arrived within 1 s"
        << false;
    QTest::newRow("limit, the document is there")
        << QStringList{"document", "limit"} << captured << true;
    QTest::newRow("load ends inside the limit's check")
        << QStringList{"complete-in-limit-check", "limit"} << captured << false;
    QTest::newRow("load fails inside the limit's check")
        << QStringList{"fail-in-limit-check", "limit"}
        << loadFailed + "Could not load " + Address + ": refused" << false;
    QTest::newRow("capture fails")
        << QStringList{"metrics-error", "complete"}
        << QStringLiteral("failed %1: gone").arg(int(CaptureFailure::CaptureFailed)) << false;
}

void tst_CaptureSession::outcomes() {
    QFETCH(QStringList, events);
    FakeBrowser browser;
    browser.SetPageSize(QSize(1009, 3000));
    CaptureSession session(browser);
    Outcome outcome(session);
    CaptureJob job = JobFor(Address);
    job.loadTimeLimitSeconds = 1;
    session.Start(job);
    for (const QString& event : events) {
        if (event == u"complete") {
            browser.FinishLoad();
        } else if (event == u"fail") {
            browser.FailLoad(QStringLiteral("refused"));
        } else if (event == u"document") {
            browser.SetDocument(true);
        } else if (event == u"limit") {
            QTRY_VERIFY_WITH_TIMEOUT(!outcome.text.isEmpty(), 3000);
        } else if (event == u"metrics-error") {
            browser.FailOn(FakeBrowser::Call::Metrics, 1, QStringLiteral("gone"));
        } else if (event.endsWith(u"-in-limit-check")) {
            const bool complete = event.startsWith(u"complete");
            browser.SetDocumentCheck([fake = &browser, complete] {
                if (complete)
                    fake->FinishLoad();
                else
                    fake->FailLoad(QStringLiteral("refused"));
            });
        }
    }
    QTRY_VERIFY_WITH_TIMEOUT(!outcome.text.isEmpty(), 3000);
    QTEST(outcome.text, "outcome");
    QTEST(!outcome.warnings.isEmpty(), "warned");
    QVERIFY(!session.Running());
}

void tst_CaptureSession::progressCountsScreens() {
    FakeBrowser browser;
    browser.SetPageSize(QSize(1009, 5000));
    CaptureSession session(browser);
    Outcome outcome(session);
    session.Start(JobFor(Address));
    browser.FinishLoad();
    QTRY_COMPARE(outcome.text, QStringLiteral("captured 1009x5000"));
    QVERIFY(outcome.loadProgress > 0);
    QCOMPARE(outcome.screens.size(), 7);
    for (int i = 0; i < outcome.screens.size(); ++i)
        QCOMPARE(outcome.screens[i], qMakePair(i + 1, 7));
}

void tst_CaptureSession::stopPartWay() {
    FakeBrowser browser;
    browser.SetPageSize(QSize(1009, 5000));
    CaptureSession session(browser);
    Outcome outcome(session);
    connect(&session, &CaptureSession::ScreensProgress, &session, [&session](int done, int) {
        if (done == 2)
            session.Stop();
    });
    session.Start(JobFor(Address));
    browser.FinishLoad();
    QTRY_COMPARE(
        outcome.text,
        QStringLiteral("failed %1: The capture was stopped").arg(int(CaptureFailure::Stopped)));
    QCOMPARE(browser.Renderings(), 2);
}

// The visible window's button on a browser that holds nothing.
void tst_CaptureSession::nothingToCapture() {
    FakeBrowser browser;
    browser.SetDocument(false);
    CaptureSession session(browser);
    Outcome outcome(session);
    session.CaptureNow(QSize(800, 600));
    QCOMPARE(browser.ViewSize(), QSize(800, 600));
    QCOMPARE(browser.Renderings(), 0);
    QTRY_VERIFY(outcome.text.startsWith(
        QStringLiteral("failed %1: ").arg(int(CaptureFailure::NothingToCapture))));
}

QTEST_GUILESS_MAIN(tst_CaptureSession)
#include "tst_capturesession.moc"
