// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/HttpFixture.h"

#include <QAuthenticator>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QtTest>

#include <memory>

namespace {

using Reply = std::unique_ptr<QNetworkReply>;

bool WaitFinished(QNetworkReply* reply, int ms = 5000) {
    return reply->isFinished() || QSignalSpy(reply, &QNetworkReply::finished).wait(ms);
}

int Status(const Reply& reply) {
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

} // namespace

class TestHttpFixture : public QObject {
    Q_OBJECT
private:
    Reply get(const QUrl& url, bool follow = true, const QByteArray& authorization = {}) {
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             follow ? QNetworkRequest::NoLessSafeRedirectPolicy
                                    : QNetworkRequest::ManualRedirectPolicy);
        if (!authorization.isEmpty()) {
            request.setRawHeader("Authorization", authorization);
        }
        return Reply(FManager.get(request));
    }

    QNetworkAccessManager FManager;
    HttpFixture FFixture;

private slots:
    void initTestCase() {
        FManager.setProxy(QNetworkProxy::NoProxy);
        QVERIFY(FFixture.start());
        FFixture.addPage("/page", "<html><body>hello</body></html>");
        FFixture.addPage("/text", "plain", "text/plain", 500);
        FFixture.addRedirect("/moved", "/page", 301);
        FFixture.addRedirect("/found", "/page", 302);
        FFixture.addRedirect("/chain", "/found", 302);
        FFixture.addBasicAuth("/secret", "ann", "s3cret", "inside");
        FFixture.addDownload("/file", "report.pdf", "%PDF-1.4", "application/pdf");
        FFixture.addSlow("/slow", "late", 300);
        FFixture.addStalled("/stall", "image/png", "\x89PNG\r\n");
        FFixture.addStalled("/trickle", "image/png", "\x89PNG", 20);
        FFixture.addSilent("/silent");
    }

    void listensOnLoopbackOnly() {
        QCOMPARE(FFixture.address(), QHostAddress(QHostAddress::LocalHost));
        QVERIFY(FFixture.port() != 0);
        QCOMPARE(FFixture.url("/a?b=c").toString(),
                 QStringLiteral("http://127.0.0.1:%1/a?b=c").arg(FFixture.port()));
        HttpFixture other;
        QVERIFY(other.start());
        QVERIFY(other.port() != FFixture.port());
    }

    void answers_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("page") << "/page" << 200 << QByteArray("<html><body>hello</body></html>")
                              << QByteArray("Content-Type")
                              << QByteArray("text/html; charset=utf-8");
        QTest::newRow("page with query")
            << "/page?x=1" << 200 << QByteArray("<html><body>hello</body></html>")
            << QByteArray("Connection") << QByteArray("close");
        QTest::newRow("own status") << "/text" << 500 << QByteArray("plain")
                                    << QByteArray("Content-Type") << QByteArray("text/plain");
        QTest::newRow("unknown is 404")
            << "/nowhere" << 404 << QByteArray("<html><body>not found</body></html>")
            << QByteArray("Content-Type") << QByteArray("text/html");
        QTest::newRow("download") << "/file" << 200 << QByteArray("%PDF-1.4")
                                  << QByteArray("Content-Disposition")
                                  << QByteArray("attachment; filename=\"report.pdf\"");
    }
    void answers() {
        QFETCH(QString, path);
        QFETCH(QByteArray, header);
        const Reply reply = get(FFixture.url(path));
        QVERIFY(WaitFinished(reply.get()));
        QTEST(Status(reply), "status");
        QTEST(reply->readAll(), "body");
        QTEST(reply->rawHeader(header), "value");
    }

    void redirects_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("status");
        QTest::newRow("301") << "/moved" << 301;
        QTest::newRow("302") << "/found" << 302;
    }
    void redirects() {
        QFETCH(QString, path);
        const Reply manual = get(FFixture.url(path), false);
        QVERIFY(WaitFinished(manual.get()));
        QTEST(Status(manual), "status");
        QCOMPARE(manual->rawHeader("Location"), QByteArray("/page"));

        const Reply followed = get(FFixture.url(path));
        QVERIFY(WaitFinished(followed.get()));
        QCOMPARE(Status(followed), 200);
        QCOMPARE(followed->url(), FFixture.url("/page"));
        QCOMPARE(followed->readAll(), QByteArray("<html><body>hello</body></html>"));
    }

    void redirectChainIsCounted() {
        const int chain = FFixture.requestCount("/chain");
        const int found = FFixture.requestCount("/found");
        const int page = FFixture.requestCount("/page");
        const Reply reply = get(FFixture.url("/chain"));
        QVERIFY(WaitFinished(reply.get()));
        QCOMPARE(Status(reply), 200);
        // A client may send a request again when a kept-alive connection closed under it (seen
        // under the sanitizers' slowness), so each step counts at least once.
        QVERIFY(FFixture.requestCount("/chain") > chain);
        QVERIFY(FFixture.requestCount("/found") > found);
        QVERIFY(FFixture.requestCount("/page") > page);
    }

    void basicAuth_data() {
        QTest::addColumn<QByteArray>("authorization");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("none") << QByteArray() << 401
                              << QByteArray("<html><body>who are you?</body></html>");
        QTest::newRow("wrong password") << ("Basic " + QByteArray("ann:guess").toBase64()) << 401
                                        << QByteArray("<html><body>who are you?</body></html>");
        QTest::newRow("right") << ("Basic " + QByteArray("ann:s3cret").toBase64()) << 200
                               << QByteArray("inside");
    }
    void basicAuth() {
        QFETCH(QByteArray, authorization);
        const Reply reply = get(FFixture.url("/secret"), true, authorization);
        QVERIFY(WaitFinished(reply.get()));
        QTEST(Status(reply), "status");
        QTEST(reply->readAll(), "body");
        if (Status(reply) == 401) {
            QCOMPARE(reply->rawHeader("WWW-Authenticate"), QByteArray("Basic realm=\"Vistrel\""));
        }
    }

    void basicAuthChallengeReachesTheClient() {
        int asked = 0;
        auto answer = connect(&FManager, &QNetworkAccessManager::authenticationRequired, this,
                              [&](QNetworkReply*, QAuthenticator* authenticator) {
                                  ++asked;
                                  QCOMPARE(authenticator->realm(), QStringLiteral("Vistrel"));
                                  authenticator->setUser("ann");
                                  authenticator->setPassword("s3cret");
                              });
        const Reply reply = get(FFixture.url("/secret"));
        QVERIFY(WaitFinished(reply.get()));
        disconnect(answer);
        QCOMPARE(asked, 1);
        QCOMPARE(Status(reply), 200);
        QCOMPARE(reply->readAll(), QByteArray("inside"));
    }

    void slowAnswerWaits() {
        QElapsedTimer clock;
        clock.start();
        const Reply reply = get(FFixture.url("/slow"));
        QVERIFY(!QSignalSpy(reply.get(), &QNetworkReply::metaDataChanged).wait(150));
        QVERIFY(WaitFinished(reply.get()));
        QVERIFY2(clock.elapsed() >= 300, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(reply->readAll(), QByteArray("late"));
    }

    void stalledNeverFinishes_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("firstBytes");
        QTest::addColumn<bool>("trickles");
        QTest::newRow("stall") << "/stall" << QByteArray("\x89PNG\r\n") << false;
        QTest::newRow("trickle") << "/trickle" << QByteArray("\x89PNG") << true;
    }
    void stalledNeverFinishes() {
        QFETCH(QString, path);
        QFETCH(QByteArray, firstBytes);
        QFETCH(bool, trickles);
        const Reply reply = get(FFixture.url(path));
        QTRY_VERIFY(reply->bytesAvailable() >= firstBytes.size() + (trickles ? 5 : 0));
        QCOMPARE(Status(reply), 200);
        QCOMPARE(reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(), "image/png");
        QVERIFY(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() >
                firstBytes.size() + 1000000);
        QVERIFY(reply->read(firstBytes.size()) == firstBytes);
        QVERIFY(!WaitFinished(reply.get(), 300));
        if (trickles) {
            const qint64 seen = reply->bytesAvailable();
            QTRY_VERIFY(reply->bytesAvailable() > seen);
        } else {
            QCOMPARE(reply->bytesAvailable(), 0);
        }
        reply->abort();
        QTRY_COMPARE(FFixture.openConnections(), 0);
    }

    void silentNeverAnswers() {
        const int before = FFixture.requestCount("/silent");
        QSignalSpy received(&FFixture, &HttpFixture::requestReceived);
        const Reply reply = get(FFixture.url("/silent"));
        QVERIFY(received.wait());
        QCOMPARE(received.first().first().toString(), QStringLiteral("/silent"));
        QCOMPARE(FFixture.requestCount("/silent"), before + 1);
        QVERIFY(!WaitFinished(reply.get(), 400));
        QVERIFY(!reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid());
        QCOMPARE(FFixture.openConnections(), 1);
        reply->abort();
        QTRY_COMPARE(FFixture.openConnections(), 0);
    }

    void headHasNoBody() {
        const Reply reply(FManager.head(QNetworkRequest(FFixture.url("/file"))));
        QVERIFY(WaitFinished(reply.get()));
        QCOMPARE(Status(reply), 200);
        QCOMPARE(reply->header(QNetworkRequest::ContentLengthHeader).toInt(), 8);
        QCOMPARE(reply->readAll(), QByteArray());
    }

    void postBodyIsRead() {
        QNetworkRequest request(FFixture.url("/page"));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "text/plain");
        const QByteArray sent(100000, 'x');
        const Reply reply(FManager.post(request, sent));
        QVERIFY(WaitFinished(reply.get()));
        QCOMPARE(Status(reply), 200);
        const HttpRequest last = FFixture.requests().last();
        QCOMPARE(last.method, QByteArray("POST"));
        QCOMPARE(last.body, sent);
        QCOMPARE(last.header("content-type"), QByteArray("text/plain"));
    }

    void countsPerPath() {
        HttpFixture fixture;
        QVERIFY(fixture.start());
        fixture.addPage("/a", "a");
        for (const char* path : {"/a", "/a?x=1", "/b", "/a"}) {
            const Reply reply = get(fixture.url(path));
            QVERIFY(WaitFinished(reply.get()));
        }
        QCOMPARE(fixture.requestCount("/a"), 3);
        QCOMPARE(fixture.requestCount("/b"), 1);
        QCOMPARE(fixture.requestCount("/c"), 0);
        QCOMPARE(fixture.totalRequests(), 4);
        QCOMPARE(fixture.requests().at(1).target, QByteArray("/a?x=1"));
    }

    void stopEndsEverything() {
        HttpFixture fixture;
        QVERIFY(fixture.start());
        fixture.addStalled("/img", "image/png", "abc", 10);
        const QUrl url = fixture.url("/img");
        const Reply open = get(url);
        QTRY_VERIFY(open->bytesAvailable() >= 3);
        fixture.stop();
        fixture.stop();
        QVERIFY(!fixture.isListening());
        QVERIFY(WaitFinished(open.get()));
        QVERIFY(open->error() != QNetworkReply::NoError);
        const Reply refused = get(url);
        QVERIFY(WaitFinished(refused.get()));
        QCOMPARE(refused->error(), QNetworkReply::ConnectionRefusedError);
        QTRY_COMPARE(fixture.openConnections(), 0);
    }

    void stopFromItsOwnSignal() {
        HttpFixture fixture;
        QVERIFY(fixture.start());
        fixture.addPage("/x", "x");
        connect(&fixture, &HttpFixture::requestReceived, &fixture, &HttpFixture::stop);
        const Reply reply = get(fixture.url("/x"));
        QVERIFY(WaitFinished(reply.get()));
        QVERIFY(reply->error() != QNetworkReply::NoError);
        QCOMPARE(fixture.requestCount("/x"), 1);
    }

    void destroyedWhileTrickling() {
        auto fixture = std::make_unique<HttpFixture>();
        QVERIFY(fixture->start());
        fixture->addStalled("/img", "image/png", "abc", 5);
        const Reply reply = get(fixture->url("/img"));
        QTRY_VERIFY(reply->bytesAvailable() >= 5);
        fixture.reset();
        QVERIFY(WaitFinished(reply.get()));
        QVERIFY(reply->error() != QNetworkReply::NoError);
    }
};

QTEST_GUILESS_MAIN(TestHttpFixture)
#include "tst_httpfixture.moc"
