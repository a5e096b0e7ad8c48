// SPDX-License-Identifier: GPL-3.0-or-later
// The built vistrel-pro against pages that fight back: pop-ups, dialogs, pages that replace
// themselves, loads that never end, page processes that die, pages too large or still growing,
// downloads and passwords. Each run must end within its time with the status, the message and
// the files it should have, and leave no process behind.
#include "HostileChecks.h"
#include "HostilePages.h"
#include "PageProcesses.h"
#include "cli/CliChecks.h"
#include "cli/CliPages.h"
#include "cli/ExitCodes.h"
#include "e2e/PixelPage.h"
#include "support/HttpFixture.h"
#include "support/ProgramRunner.h"
#include "support/ProgramSandbox.h"
#include "support/TestHelpers.h"

#include <QImageReader>
#include <QRegularExpression>
#include <QTcpServer>
#include <QtTest>

using namespace CliChecks;
using namespace HostileChecks;

namespace {

// Every run is killed at this point; each case has its own, shorter limit on top.
constexpr int RunLimitMs = 90000;
// The engine's view in command-line runs: 1024 x 768, screens 729 rows apart.
constexpr int ClientHeight = 768;
constexpr int ScreenStep = 729;

const PixelPage WidePage{QSize(30000, 1200), false, QRect()};

int Code(ExitCode code) {
    return ToInt(code);
}

QString Describe(const ProgramResult& result) {
    return QStringLiteral("exit %1%2%3 after %4 ms; program lines:\n%5\nstderr ends:\n%6")
        .arg(result.exitCode)
        .arg(result.timedOut ? QStringLiteral(" (killed at the time limit)") : QString())
        .arg(result.crashed ? QStringLiteral(" (crashed)") : QString())
        .arg(result.elapsedMs)
        .arg(ProgramLines(result.standardError).join(u'\n'))
        .arg(QString::fromUtf8(result.standardError.right(600)));
}

// "WxH", or "Wx>=H" for a page that keeps growing: at least H rows.
QString CheckSize(const QString& path, const QString& size) {
    if (!size.contains(QLatin1String(">=")))
        return CheckPicture(path, size);
    const QImage picture(path);
    const int width = size.section(u'x', 0, 0).toInt();
    const int least = size.section(QLatin1String(">="), 1).toInt();
    if (picture.width() != width || picture.height() < least)
        return QStringLiteral("%1: %2 x %3, expected %4")
            .arg(path)
            .arg(picture.width())
            .arg(picture.height())
            .arg(size);
    return {};
}

QString CheckContent(const QString& check, const QImage& picture) {
    if (check == u"bands")
        return CheckBands(picture, false);
    if (check == u"either")
        return CheckBands(picture, true);
    if (check == u"rows")
        return CheckRows(picture);
    if (check == u"header")
        return CheckHeaderInEveryScreen(picture, HostilePages::HeaderHeight, ClientHeight,
                                        ScreenStep);
    if (check == u"pixels")
        return WidePage.Compare(picture, WidePage.Size);
    return check.isEmpty() ? QString() : QStringLiteral("no check named %1").arg(check);
}

// "path=n" exactly n requests during the run, "path>=n" at least n.
QString CheckRequests(const QStringList& expected, const QHash<QString, int>& before,
                      const HttpFixture& http) {
    static const QRegularExpression form(QStringLiteral("^([^=>]+)(>?=)(\\d+)$"));
    for (const QString& item : expected) {
        const QRegularExpressionMatch match = form.match(item);
        const QString path = match.captured(1);
        const int seen = http.requestCount(path) - before.value(path);
        const int want = match.captured(3).toInt();
        if (match.captured(2) == u"=" ? seen != want : seen < want)
            return QStringLiteral("%1 requests for %2, expected %3").arg(seen).arg(path, item);
    }
    return {};
}

} // namespace

class TestHostile : public QObject {
    Q_OBJECT

    HttpFixture FHttp;
    quint16 FDeadPort = 0;
    QString FKillOn;
    int FKilled = 0;

    QString Expand(QString text, bool pattern) const {
        const QString http = QStringLiteral("http://127.0.0.1:%1").arg(FHttp.port());
        return text.replace(QStringLiteral("{http}"),
                            pattern ? QRegularExpression::escape(http) : http);
    }

    // Nothing leaves the machine: every address that is not this one's goes to a proxy that is
    // not there. HOME is the sandbox too, so that nothing is written anywhere unseen.
    ProgramRunOptions Options(const QStringList& arguments, const ProgramSandbox& sandbox) const {
        ProgramRunOptions options;
        for (const QString& argument : arguments)
            options.arguments << Expand(argument, false);
        options.timeLimitMs = RunLimitMs;
        options.setVariables = {
            {QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
             QStringLiteral("--proxy-server=http://127.0.0.1:%1").arg(FDeadPort)},
            {QStringLiteral("HOME"), sandbox.path()}};
        return options;
    }

    void AddPages() {
        using namespace HostilePages;
        const QByteArray beacon = "new Image().src = '/tried?' + Date.now();";
        const QByteArray stored =
            "const n = +(sessionStorage.getItem('n') || 0); sessionStorage.setItem('n', n + 1);";
        FHttp.addPage("/popups", PopupStormHtml());
        FHttp.addPage("/dialogs", DialogStormHtml());
        FHttp.addPage("/print", PrintHtml());
        FHttp.addPage("/reload", SwappingBandsHtml(stored, "setInterval(() => { " + beacon +
                                                               " location.reload(); }, 20);"));
        FHttp.addPage("/assign",
                      SwappingBandsHtml("const n = +(location.search.slice(1) || 0);",
                                        "setInterval(() => { " + beacon +
                                            " location = '/assign?' + (n + 1); }, 20);"));
        FHttp.addPage("/meta",
                      SwappingBandsHtml(stored, {}, "<meta http-equiv=\"refresh\" content=\"0\">"));

        const QByteArray neverImage = "<img src=\"/never.png\" width=\"1\" height=\"1\""
                                      " style=\"position: absolute; left: 0; top: 0\">";
        FHttp.addPage("/stalled-image", CliPages::BandsHtml(neverImage));
        FHttp.addStalled("/never.png", "image/png", "\x89PNG\r\n\x1a\n", 100);
        const QByteArray bands = CliPages::BandsHtml();
        FHttp.addStalled("/stalled-page", "text/html; charset=utf-8",
                         bands.left(bands.indexOf("</body>")));
        FHttp.addSilent("/silent");
        FHttp.addPage("/busy", CliPages::BandsHtml("<script>for (;;) {}</script>"));
        FHttp.addPage("/busy-on-scroll",
                      CliPages::BandsHtml("<script>addEventListener('scroll', () => "
                                          "{ for (;;) {} });</script>"));

        FHttp.addPage("/crash-loading", CliPages::BandsHtml("<img src=\"/crash-never.png\">"));
        FHttp.addStalled("/crash-never.png", "image/png", "\x89PNG\r\n\x1a\n", 100);
        FHttp.addPage("/crash-capture",
                      RowsHtml(20000, {},
                               "let sent = false; addEventListener('scroll', () => {"
                               " if (scrollY > 2000 && !sent) { sent = true;"
                               " new Image().src = '/crash-scrolled'; } });"));

        FHttp.addPage("/tall", RowsHtml(100000));
        FHttp.addPage("/wide", WidePage.Html(QString()).toUtf8());
        FHttp.addPage("/infinite", RowsHtml(3000, {},
                                            "let rows = 3000; addEventListener('scroll', () => {"
                                            " if (scrollY + innerHeight > rows - 1500) {"
                                            " addRows(rows, rows + 2000); rows += 2000; } });"));
        FHttp.addPage("/growing", RowsHtml(3000, {},
                                           "let rows = 3000; setInterval(() => {"
                                           " addRows(rows, rows + 200); rows += 200; }, 20);"));
        // A small square changing colour all the time, away from the columns checked.
        FHttp.addPage("/animated",
                      RowsHtml(8000,
                               "@keyframes blink { from { background: #f00 } to { background:"
                               " #00f } } #blink { position: absolute; left: 100px; top: 100px;"
                               " width: 20px; height: 20px; animation: blink 0.3s infinite"
                               " alternate; }",
                               {}, "<div id=\"blink\"></div>"));
        FHttp.addPage("/giant", CliPages::BlockHtml(60000, 60000));

        FHttp.addDownload("/file.bin", "file.bin", QByteArray(64 * 1024, 'x'));
        FHttp.addDownload("/attached.html", "attached.html", bands, "text/html; charset=utf-8");
        FHttp.addRedirect("/to-file", "/file.bin");
        FHttp.addPage("/links", DownloadLinksHtml());
        FHttp.addBasicAuth("/private", "user", "secret", bands);

        FHttp.addPage("/smooth", RowsHtml(5000, "html, body { scroll-behavior: smooth; }"));
        FHttp.addPage("/fixed", HeaderHtml("fixed"));
        FHttp.addPage("/sticky", HeaderHtml("sticky"));
    }

private slots:
    void initTestCase() {
        QVERIFY2(QFileInfo(BuiltProgramPath()).isExecutable(), qPrintable(BuiltProgramPath()));
        // The tall and the wide pictures are larger than Qt reads by default.
        QImageReader::setAllocationLimit(2048);
        QVERIFY(FHttp.start());
        AddPages();
        connect(&FHttp, &HttpFixture::requestReceived, this, [this](const QString& path) {
            if (!FKillOn.isEmpty() && path == FKillOn)
                FKilled += PageProcesses::KillAll();
        });
        FDeadPort = UnusedPort();
        QVERIFY(FDeadPort != 0);
    }

    // One run each. picture: "file=WxH" (format by its suffix) or empty, when nothing at all
    // may be written. check: what the picture must show (bands, either order of the bands,
    // rows of a row-coded page, header in every screen over rows, every pixel of the wide
    // page). lines: the program's stderr lines, as patterns. requests: "path=n" or "path>=n"
    // during the run. killOn: the page's processes are killed when the fixture is asked for
    // this path. seconds: the longest the run may take.
    void run_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QString>("killOn");
        QTest::addColumn<int>("seconds");
        const int ok = Code(ExitCode::Success);
        const int loadFailed = Code(ExitCode::LoadFailed);
        const int captureFailed = Code(ExitCode::CaptureFailed);
        const QStringList none;
        const QString png = "out/page.png";
        const QString bandsPicture = png + "=1009x2000";
        const auto page = [&png](const char* path, const QString& limit = "/w:10") {
            return QStringList{"/u:{http}" + QString::fromLatin1(path), "/p:" + png, limit};
        };
        const auto warned = [](const char* path) {
            return QStringList{QStringLiteral("vistrel-pro: warning: {http}%1 did not finish "
                                              "loading within 3 s; captured as it stands")
                                   .arg(QString::fromLatin1(path))};
        };

        // Windows and dialogs: refused and answered without anybody
        QTest::newRow("pop-up storm: window.open in loops, target=_blank clicks")
            << page("/popups") << ok << bandsPicture << "bands" << none << QStringList{"/popup=0"}
            << "" << 20;
        QTest::newRow("alert, confirm, prompt in loops, on a timer, in beforeunload")
            << page("/dialogs") << ok << bandsPicture << "bands" << none << none << "" << 20;
        QTest::newRow("print() at once, in a loop, on a timer")
            << page("/print") << ok << bandsPicture << "bands" << none << none << "" << 20;

        // Pages that replace themselves: the capture holds the one it began with
        QTest::newRow("location.reload() every 20 ms")
            << page("/reload") << ok << bandsPicture << "either" << none << QStringList{"/tried>=1"}
            << "" << 20;
        QTest::newRow("location = ... every 20 ms")
            << page("/assign") << ok << bandsPicture << "either" << none << QStringList{"/tried>=1"}
            << "" << 20;
        QTest::newRow("meta refresh 0") << page("/meta") << ok << bandsPicture << "either" << none
                                        << QStringList{"/meta>=1"} << "" << 20;

        // Loads that never end
        QTest::newRow("an image that never finishes: captured at /w, warned")
            << page("/stalled-image", "/w:3") << ok << bandsPicture << "bands"
            << warned("/stalled-image") << QStringList{"/never.png=1"} << "" << 20;
        QTest::newRow("the page's own text never finishes: captured at /w, warned")
            << page("/stalled-page", "/w:3") << ok << bandsPicture << "bands"
            << warned("/stalled-page") << none << "" << 20;
        QTest::newRow("a server that never answers")
            << page("/silent", "/w:3") << loadFailed << ""
            << "" << QStringList{"vistrel-pro: nothing of {http}/silent arrived within 3 s"}
            << QStringList{"/silent=1"} << "" << 15;
        QTest::newRow("a script busy for ever while the page loads")
            << page("/busy", "/w:3") << loadFailed << ""
            << ""
            << QStringList{"vistrel-pro: {http}/busy did not finish loading within 3 s: "
                           "The page did not answer in time \\(document\\)"}
            << none << "" << 35;
        QTest::newRow("a script busy for ever once the capture scrolls")
            << page("/busy-on-scroll") << captureFailed << ""
            << "" << QStringList{"vistrel-pro: The page did not answer in time \\(.+\\)"} << none
            << "" << 35;

        // Only pages are loaded: the browser's own addresses are refused before it starts.
        QTest::newRow("chrome://crash")
            << QStringList{"/u:chrome://crash", "/p:" + png, "/w:10"} << loadFailed << ""
            << ""
            << QStringList{"=vistrel-pro: The browser cannot open \"chrome\" addresses: "
                           "chrome://crash"}
            << none << "" << 5;
        // Page processes that die
        QTest::newRow("page process killed while the page loads")
            << page("/crash-loading", "/w:30") << loadFailed << ""
            << ""
            << QStringList{"vistrel-pro: Could not load {http}/crash-loading: the page's "
                           "process was killed"}
            << QStringList{"/crash-never.png=1"} << "/crash-never.png" << 15;
        QTest::newRow("page process killed during the capture")
            << page("/crash-capture", "/w:30") << captureFailed << ""
            << ""
            << QStringList{"=vistrel-pro: The page can no longer be captured: the page's process "
                           "was killed"}
            << QStringList{"/crash-scrolled=1"} << "/crash-scrolled" << 15;

        // Sizes
        // The rows are made by a script while the page loads: whether the limit passes during
        // the capture, or before the load has finished (captured as it stands, with the
        // warning), every row is there. Which of the two happens is the machine's business.
        QTest::newRow("100,000 px tall, every row; /w passes during the capture")
            << QStringList{"/u:{http}/tall", "/p:out/page.bmp", "/w:2"} << ok
            << "out/page.bmp=1009x100000"
            << "rows"
            << QStringList{"?=vistrel-pro: warning: {http}/tall did not finish loading within 2 s; "
                           "captured as it stands"}
            << none << "" << 75;
        QTest::newRow("30,000 px wide, every pixel")
            << page("/wide", "/w:30") << ok << png + "=30000x1200"
            << "pixels" << none << none << "" << 60;
        QTest::newRow("infinite scroll: grows as the capture scrolls")
            << page("/infinite") << ok << png + "=1009x3000"
            << "rows" << none << none << "" << 20;
        QTest::newRow("grows on a timer while it is captured")
            << page("/growing") << ok << png + "=1009x>=3000"
            << "rows" << none << none << "" << 20;
        QTest::newRow("a CSS animation runs all the time")
            << page("/animated") << ok << png + "=1009x8000"
            << "rows" << none << none << "" << 20;
        QTest::newRow("60,000 x 60,000: too large for a picture")
            << page("/giant") << captureFailed << ""
            << ""
            << QStringList{"=vistrel-pro: The page is too large to capture (60000 x 60000 pixels)"}
            << none << "" << 20;

        // Downloads: never saved; an address that is one is no page
        QTest::newRow("the address is a download")
            << page("/file.bin", "/w:30") << loadFailed << ""
            << ""
            << QStringList{"vistrel-pro: Could not load {http}/file\\.bin: it is a download "
                           "\\(file\\.bin\\), not a page"}
            << QStringList{"/file.bin=1"} << "" << 10;
        QTest::newRow("an HTML page served as an attachment")
            << page("/attached.html", "/w:30") << loadFailed << ""
            << ""
            << QStringList{"vistrel-pro: Could not load {http}/attached\\.html: it is a "
                           "download \\(attached\\.html\\), not a page"}
            << QStringList{"/attached.html=1"} << "" << 10;
        QTest::newRow("a redirect to a download")
            << page("/to-file", "/w:30") << loadFailed << ""
            << ""
            << QStringList{"vistrel-pro: Could not load {http}/to-file: it is a download "
                           "\\(file\\.bin\\), not a page"}
            << QStringList{"/to-file=1", "/file.bin=1"} << "" << 10;
        QTest::newRow("a page that clicks download links")
            << page("/links") << ok << bandsPicture << "bands" << none
            << QStringList{"/file.bin>=1", "/attached.html>=1"} << "" << 20;

        // HTTP authentication: no dialog, no credentials; the server's 401 page is the page
        QTest::newRow("HTTP Basic authentication: the 401 page, with a warning")
            << page("/private") << ok << png + "=1024x768"
            << ""
            << QStringList{"vistrel-pro: warning: .*/private was answered with HTTP 401; "
                           "captured as it came"}
            << QStringList{"/private=1"} << "" << 20;

        // Scrolling: the capture's own scrolls are instant, whatever the page asks for. A header
        // that stays at the top of the view is in every screen of the picture, as in any
        // full-page capture that scrolls; the picture keeps the page's size.
        QTest::newRow("scroll-behavior: smooth") << page("/smooth") << ok << png + "=1009x5000"
                                                 << "rows" << none << none << "" << 20;
        QTest::newRow("position: fixed header, /k: shown in every screen")
            << page("/fixed") + QStringList{"/k"} << ok << png + "=1009x3000"
            << "header" << none << none << "" << 20;
        QTest::newRow("position: sticky header, /k: shown in every screen")
            << page("/sticky") + QStringList{"/k"} << ok << png + "=1009x3000"
            << "header" << none << none << "" << 20;
    }

    void run() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, picture);
        QFETCH(QString, check);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, requests);
        QFETCH(QString, killOn);
        QFETCH(int, seconds);
        const ProgramSandbox sandbox;
        QVERIFY(sandbox.isValid());
        QHash<QString, int> before;
        for (const QString& request : requests) {
            const QString path = request.section(QRegularExpression(QStringLiteral(">?=")), 0, 0);
            before.insert(path, FHttp.requestCount(path));
        }
        const qsizetype requestsBefore = FHttp.requests().size();
        FKillOn = killOn;
        FKilled = 0;

        const ProgramResult result = RunProgram(Options(arguments, sandbox), sandbox);
        FKillOn.clear();
        qInfo("run ended after %lld ms with exit %d", result.elapsedMs, result.exitCode);

        QVERIFY2(result.started, qPrintable(result.startError));
        QVERIFY2(!result.timedOut && !result.crashed, qPrintable(Describe(result)));
        QVERIFY2(result.leftovers.isEmpty(), qPrintable(result.leftovers.join(u", ")));
        QVERIFY2(result.exitedWith(exitCode), qPrintable(Describe(result)));
        QVERIFY2(result.elapsedMs < seconds * 1000, qPrintable(Describe(result)));
        if (!killOn.isEmpty())
            QVERIFY2(FKilled > 0, "no page process was found to kill");
        // "?..." is a line the run may print or not, as the machine's timing decides.
        const QStringList printed = ProgramLines(result.standardError);
        QStringList patterns;
        for (const QString& line : lines) {
            const bool optional = line.startsWith(u'?');
            if (optional && printed.size() < lines.size())
                continue;
            const QString pattern = optional ? line.mid(1) : line;
            patterns << Expand(pattern, !pattern.startsWith(u'='));
        }
        const QString linesWrong = CheckLines(printed, patterns);
        QVERIFY2(linesWrong.isEmpty(), qPrintable(linesWrong));

        const QString name = picture.section(u'=', 0, 0);
        const QString filesWrong =
            CheckOnlyFiles(sandbox, name.isEmpty() ? QSet<QString>() : QSet<QString>{name});
        QVERIFY2(filesWrong.isEmpty(), qPrintable(filesWrong));
        if (!name.isEmpty()) {
            const QString path = sandbox.filePath(name);
            const QString sizeWrong = CheckSize(path, picture.section(u'=', 1));
            QVERIFY2(sizeWrong.isEmpty(), qPrintable(sizeWrong));
            const QString contentWrong = CheckContent(check, QImage(path));
            QVERIFY2(contentWrong.isEmpty(), qPrintable(contentWrong));
        }
        const QString requestsWrong = CheckRequests(requests, before, FHttp);
        QVERIFY2(requestsWrong.isEmpty(), qPrintable(requestsWrong));
        // Nobody made up a password for a page that asked for one.
        const QList<HttpRequest> all = FHttp.requests();
        for (qsizetype i = requestsBefore; i < all.size(); ++i)
            QVERIFY2(all.at(i).header("Authorization").isEmpty(), qPrintable(all.at(i).path));
    }
};

QTEST_GUILESS_MAIN(TestHostile)
#include "tst_hostile.moc"
