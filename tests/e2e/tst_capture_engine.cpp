// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodedPage.h"
#include "PixelPage.h"
#include "capture/EngineSetup.h"
#include "capture/PageRenderer.h"
#include "common/VistrelError.h"
#include "engines/chromium/ChromiumBrowser.h"
#include "engines/chromium/ChromiumProcess.h"
#include "engines/webengine/WebEngineBrowser.h"
#include "support/Awaited.h"
#include "support/HttpFixture.h"
#include "support/PageFolder.h"

#include <QApplication>
#include <QDir>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QtTest>
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <vector>

#include <unistd.h>

namespace {
// The engine under test: "qt" or "chromium".
std::string Engine = "qt";
} // namespace

// The page renderer over the real engine: pictures must be the pages, pixel for pixel.
class tst_CaptureEngine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void stitching_data();
    void scaled_data();
    void scaled();
    void stitching();
    void fixedAndSticky_data();
    void fixedAndSticky();
    void resizedBeforeCapture();
    void animatedPageIsNotWaitedFor();
    void stopWhileContentLoads();
    void hungPageTimesOut();
    void refusedConnectionIsAFailure();
    void endedPageProcessIsAFailure();
    void pageProcessIsSandboxed();
    void browserGetsNoDescriptorOrVariableOfOurs();

private:
    bool Load(const QString& address);
    QImage Capture(const QString& name, const QString& html, bool keepFixed = false);

    PageFolder FFolder;
    QWidget* FHost = nullptr;
    Browser* FBrowser = nullptr;
};

bool tst_CaptureEngine::Load(const QString& address) {
    QSignalSpy done(FBrowser, &Browser::DocumentComplete);
    FBrowser->Navigate(address);
    return done.wait(30000);
}

QImage tst_CaptureEngine::Capture(const QString& name, const QString& html, bool keepFixed) {
    QFile file(FFolder.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(html.toUtf8()) < 0)
        return QImage();
    file.close();
    if (!Load(QUrl::fromLocalFile(file.fileName()).toString()))
        return QImage();
    PageRenderer renderer(*FBrowser);
    renderer.SetKeepFixed(keepFixed);
    return Awaited(renderer.Render());
}

void tst_CaptureEngine::initTestCase() {
    QVERIFY(FFolder.isValid());
    FHost = new QWidget;
    FHost->setAttribute(Qt::WA_DontShowOnScreen);
    FHost->resize(1400, 1100);
    if (Engine == "chromium") {
        FBrowser = new ChromiumBrowser(nullptr, FHost);
    } else {
        auto* browser = new WebEngineBrowser(FHost);
        browser->View()->setParent(FHost);
        FBrowser = browser;
    }
    FHost->show();
}

void tst_CaptureEngine::cleanupTestCase() {
    delete FHost;
}

void tst_CaptureEngine::stitching_data() {
    QTest::addColumn<QSize>("view");
    QTest::addColumn<QSize>("page");
    QTest::addColumn<bool>("quirks");
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<bool>("rightToLeft");
    QTest::addColumn<QString>("script"); // the page's own

    const QRect none;
    // a vertical scroll bar that comes once the capture's first screen adds its mark
    const QString growsLate = QStringLiteral("new MutationObserver(() => document.body.style"
                                             ".minHeight = '2100px').observe("
                                             "document.documentElement, { childList: true });");
    const QString snaps = QStringLiteral("document.documentElement.style.scrollSnapType ="
                                         " 'y mandatory'; for (const c of document"
                                         ".querySelectorAll('canvas')) c.style"
                                         ".scrollSnapAlign = 'start';");
    QTest::newRow("short, 1280 x 1024") << QSize(1280, 1024) << QSize(900, 500) << false << none
                                        << QSize(1280, 1024) << false << QString();
    QTest::newRow("tall, 1280 x 1024") << QSize(1280, 1024) << QSize(1265, 31000) << false << none
                                       << QSize(1265, 31000) << false << QString();
    QTest::newRow("tall, 1024 x 768") << QSize(1024, 768) << QSize(1009, 30500) << false << none
                                      << QSize(1009, 30500) << false << QString();
    QTest::newRow("tall, 800 x 600") << QSize(800, 600) << QSize(785, 30000) << false << none
                                     << QSize(785, 30000) << false << QString();
    QTest::newRow("wide, 1024 x 768") << QSize(1024, 768) << QSize(3000, 4000) << false << none
                                      << QSize(3000, 4000) << false << QString();
    QTest::newRow("wide, a vertical scroll bar comes late, 1024 x 768")
        << QSize(1024, 768) << QSize(2500, 700) << false << none << QSize(2500, 753) << false
        << growsLate;
    // The last column and the last screen of a column add only strips.
    QTest::newRow("6 px wider, a vertical scroll bar comes late, 1024 x 768")
        << QSize(1024, 768) << QSize(1015, 700) << false << none << QSize(1024, 768) << false
        << growsLate;
    QTest::newRow("6 px wider than the view, 1024 x 768")
        << QSize(1024, 768) << QSize(1015, 30000) << false << none << QSize(1015, 30000) << false
        << QString();
    QTest::newRow("a wide table's overflow, 1024 x 768")
        << QSize(1024, 768) << QSize(1112, 4000) << false << none << QSize(1112, 4000) << false
        << QString();
    QTest::newRow("17 rows taller than the view, both scroll bars, 1024 x 768")
        << QSize(1024, 768) << QSize(1030, 770) << false << none << QSize(1030, 770) << false
        << QString();
    QTest::newRow("10 rows in the last screen, 1024 x 768")
        << QSize(1024, 768) << QSize(1009, 3694) << false << none << QSize(1009, 3694) << false
        << QString();
    QTest::newRow("wide and short, 800 x 600") << QSize(800, 600) << QSize(3000, 400) << false
                                               << none << QSize(3000, 585) << false << QString();
    QTest::newRow("wide, right to left, 1024 x 768")
        << QSize(1024, 768) << QSize(3000, 4000) << false << none << QSize(3000, 4000) << true
        << QString();
    QTest::newRow("scrolling snaps to every 4096th row, 1024 x 768")
        << QSize(1024, 768) << QSize(1009, 9000) << false << none << QSize(1009, 9000) << false
        << snaps;
    QTest::newRow("quirks, 1024 x 768") << QSize(1024, 768) << QSize(1009, 9000) << true << none
                                        << QSize(1009, 9000) << false << QString();
    QTest::newRow("frame, 800 x 600")
        << QSize(800, 600) << QSize(785, 3000) << false << QRect(120, 500, 400, 700)
        << QSize(785, 3000) << false << QString();
    QTest::newRow("frame, quirks, 1024 x 768")
        << QSize(1024, 768) << QSize(1009, 2000) << true << QRect(600, 700, 409, 300)
        << QSize(1009, 2000) << false << QString();
}

void tst_CaptureEngine::stitching() {
    QFETCH(QSize, view);
    QFETCH(QSize, page);
    QFETCH(bool, quirks);
    QFETCH(QRect, frame);
    QFETCH(QSize, picture);
    QFETCH(bool, rightToLeft);
    QFETCH(QString, script);
    const PixelPage pixels{page, quirks, frame, rightToLeft};
    // a page of its own each time: loading the same address again would restore its scroll
    static int pages = 0;
    const QString path =
        pixels.WriteTo(FFolder.path(), QStringLiteral("page%1.html").arg(++pages), script);
    FBrowser->SetViewSize(view);
    QVERIFY(Load(QUrl::fromLocalFile(path).toString()));
    const int repeat = qEnvironmentVariableIntValue("VISTREL_STITCH_REPEAT");
    for (int round = 0; round < qMax(1, repeat); ++round) {
        PageRenderer renderer(*FBrowser);
        QElapsedTimer clock;
        clock.start();
        const QImage result = Awaited(renderer.Render());
        qInfo("%d renderings, %.1f ms each", renderer.Renderings(),
              double(clock.elapsed()) / renderer.Renderings());
        QCOMPARE(pixels.Compare(result, picture), QString());
    }
}

// Device pixels: every page pixel as a block of them, also where the screens join.
void tst_CaptureEngine::scaled_data() {
    QTest::addColumn<double>("scale");
    QTest::newRow("1.5") << 1.5;
    QTest::newRow("2.5") << 2.5;
    QTest::newRow("2") << 2.0;
    QTest::newRow("3") << 3.0;
}

void tst_CaptureEngine::scaled() {
    QFETCH(double, scale);
    if (Engine != "chromium")
        QSKIP("Qt WebEngine has no device scale of its own for one page");
    PixelPage pixels{QSize(1100, 1700), false, QRect(), false};
    pixels.Scale = scale;
    // At a fractional scale a page pixel spans 1 or 2 device pixels as the engine's tiles fall;
    // blocks of 2 page pixels are 3 whole device pixels wherever they are drawn.
    pixels.Block = scale == std::floor(scale) ? 1 : 2;
    const QString path = pixels.WriteTo(FFolder.path(), QStringLiteral("scaled%1.html").arg(scale));
    CaptureControls controls;
    controls.scale = scale;
    FBrowser->SetControls(controls);
    FBrowser->SetViewSize(QSize(800, 600));
    QVERIFY(Load(QUrl::fromLocalFile(path).toString()));
    PageRenderer renderer(*FBrowser);
    renderer.SetScale(scale);
    const QImage result = Awaited(renderer.Render());
    FBrowser->SetControls({});
    QCOMPARE(pixels.Compare(result, QSize(1100, 1700)), QString());
}

// Row-coded content under and around fixed and sticky elements: every content row once, the
// element's rows once, where a person sees them (-1: at the bottom of the picture).
void tst_CaptureEngine::fixedAndSticky_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("contentX");
    QTest::addColumn<int>("contentRows");
    QTest::addColumn<int>("elementX");
    QTest::addColumn<int>("elementRows");
    QTest::addColumn<int>("elementAt");

    const QString header = QStringLiteral(
        "<div data-code=element data-rows=60 style='position: fixed; top: 0; left: 0; right: 0;"
        " height: 60px'></div>");
    const QString content = QStringLiteral("<div data-code=content data-rows=5000 style='%1'>"
                                           "</div>");
    QTest::newRow("fixed header") << header + content.arg("margin-top: 60px") << 100 << 5000 << 100
                                  << 60 << 0;
    QTest::newRow("fixed bar at the bottom")
        << content.arg("margin-bottom: 50px") +
               "<div data-code=element data-rows=50 style='position: fixed; bottom: 0; left: 0;"
               " width: 100%; height: 50px'></div>"
        << 100 << 5000 << 100 << 50 << -1;
    QTest::newRow("full-height fixed sidebar")
        << "<div data-code=element data-rows=2000 style='position: fixed; top: 0; bottom: 0;"
           " left: 0; width: 150px; overflow: hidden'></div>" +
               content.arg("margin-left: 150px")
        << 300 << 5000 << 20 << 768 << 0;
    QTest::newRow("fixed ::before layer")
        << "<style>[data-pseudo]::before { content: ''; position: fixed; top: 0; left: 0;"
           " width: 1009px; height: 60px }</style>"
           "<div data-code=element data-pseudo=before data-rows=60 data-width=1009></div>" +
               content.arg("margin-top: 60px")
        << 100 << 5000 << 100 << 60 << 0;
    QTest::newRow("sticky heading")
        << "<div data-code=content data-rows=1000></div>"
           "<div data-code=element data-rows=40 style='position: sticky; top: 0'></div>"
           "<div data-code=content data-rows=4000 data-first=1000></div>"
        << 100 << 5000 << 100 << 40 << 1000;
    QTest::newRow("header fixed once scrolled")
        << "<div id=h data-code=element data-rows=60 style='position: absolute; top: 0; left: 0;"
           " right: 0; height: 60px'></div>" +
               content.arg("margin-top: 60px") +
               "<script>addEventListener('scroll', () => h.style.position = scrollY > 100 ?"
               " 'fixed' : 'absolute')</script>"
        << 100 << 5000 << 100 << 60 << 0;
    QTest::newRow("fixed header in a shadow root")
        << "<div id=host></div>" + content.arg("margin-top: 60px") +
               "<script>host.attachShadow({mode: 'open'}).innerHTML = \"" + header + "\"</script>"
        << 100 << 5000 << 100 << 60 << 0;
    QTest::newRow("button in the corner of a wide page")
        << "<div data-code=content data-rows=3000 data-width=3000></div>"
           "<div data-code=element data-rows=40 style='position: fixed; right: 10px;"
           " bottom: 10px; width: 40px; height: 40px'></div>"
        << 979 << 3000 << 2970 << 40 << 2950;
    QTest::newRow("sticky header of a wide table")
        << "<table style='border-collapse: collapse; border-spacing: 0'><thead><tr>"
           "<th data-code=element data-rows=30 data-width=3000 style='position: sticky; top: 0;"
           " padding: 0'></th></tr></thead><tbody><tr><td data-code=content data-rows=4000"
           " data-width=3000 style='padding: 0'></td></tr></tbody></table>"
        << 2500 << 4000 << 2500 << 30 << 0;
}

void tst_CaptureEngine::fixedAndSticky() {
    QFETCH(QString, body);
    QFETCH(int, contentX);
    QFETCH(int, contentRows);
    QFETCH(int, elementX);
    QFETCH(int, elementRows);
    QFETCH(int, elementAt);
    static int pages = 0;
    FBrowser->SetViewSize(QSize(1024, 768));
    const QString html = CodedPage::Html(body);
    const QImage picture = Capture(QStringLiteral("coded%1.html").arg(++pages), html);
    QVERIFY(!picture.isNull());
    QCOMPARE(CodedPage::Sequence(CodedPage::ContentRows(picture, contentX), contentRows),
             QString());
    const CodedPage::Rows element = CodedPage::ElementRows(picture, elementX);
    QCOMPARE(CodedPage::Sequence(element, elementRows), QString());
    QCOMPARE(element.FirstAt, elementAt < 0 ? picture.height() - elementRows : elementAt);
    // Nothing of the first screen's mark stays: the left edge shows what the checked columns do.
    if (contentX <= 150)
        QCOMPARE(CodedPage::ContentRows(picture, 5).Numbers,
                 CodedPage::ContentRows(picture, contentX).Numbers);
    if (elementX <= 150)
        QCOMPARE(CodedPage::ElementRows(picture, 5).Numbers, element.Numbers);
    // As it looks on every screen, the header comes again at every screen.
    if (QByteArray(QTest::currentDataTag()) == "fixed header") {
        const QImage asItLooks = Capture(QStringLiteral("coded%1.html").arg(++pages), html, true);
        QVERIFY(CodedPage::ElementRows(asItLooks, elementX).Numbers.size() > 2 * elementRows);
    }
}

// The capture button lays the page out again at the chosen size just before capturing.
void tst_CaptureEngine::resizedBeforeCapture() {
    const PixelPage pixels{QSize(1009, 5000), false, QRect()};
    const QString path = pixels.WriteTo(FFolder.path(), QStringLiteral("resized.html"));
    FBrowser->SetViewSize(QSize(780, 457));
    QVERIFY(Load(QUrl::fromLocalFile(path).toString()));
    FBrowser->SetViewSize(QSize(1024, 768));
    PageRenderer renderer(*FBrowser);
    QCOMPARE(pixels.Compare(Awaited(renderer.Render()), QSize(1009, 5000)), QString());
}

// A page that never stops painting is captured without waiting for it to be still.
void tst_CaptureEngine::animatedPageIsNotWaitedFor() {
    QFile file(FFolder.filePath(QStringLiteral("animated.html")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<!DOCTYPE html><style>@keyframes spin { to { transform: rotate(360deg) } }"
               " div { width: 50px; height: 50px; background: red; animation: spin 1s linear"
               " infinite }</style><body style='margin: 0; height: 4000px'><div></div>");
    file.close();
    FBrowser->SetViewSize(QSize(1024, 768));
    QVERIFY(Load(QUrl::fromLocalFile(file.fileName()).toString()));
    PageRenderer renderer(*FBrowser);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(Awaited(renderer.Render()).size(), QSize(1009, 4000));
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
}

// A picture that never arrives keeps the capture waiting for content; a stop still ends it.
void tst_CaptureEngine::stopWhileContentLoads() {
    HttpFixture http;
    QVERIFY(http.start());
    http.addPage(QStringLiteral("/loading"),
                 "<!DOCTYPE html><body style='margin: 0'><div style='height: 2500px'></div>"
                 "<img loading=lazy width=10 height=10 src=/never.png>");
    http.addStalled(QStringLiteral("/never.png"), "image/png", "\x89PNG\r\n\x1a\n");
    QVERIFY(Load(http.url(QStringLiteral("/loading")).toString()));
    PageRenderer renderer(*FBrowser);
    QElapsedTimer clock;
    clock.start();
    renderer.SetStopCheck([&clock] { return clock.elapsed() > 300; });
    QString failure;
    try {
        Awaited(renderer.Render());
    } catch (const VistrelError& error) {
        failure = error.message();
    }
    QCOMPARE(failure, QStringLiteral("The capture was stopped"));
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    FBrowser->Stop();
}

void tst_CaptureEngine::hungPageTimesOut() {
    QFile file(FFolder.filePath(QStringLiteral("hung.html")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<!DOCTYPE html><body style='height: 5000px'>"
               "<script>onload = () => setTimeout(() => { for (;;) {} }, 50);</script>");
    file.close();
    QVERIFY(Load(QUrl::fromLocalFile(file.fileName()).toString()));
    QTest::qWait(200);
    FBrowser->SetTimeLimit(1500);
    PageRenderer renderer(*FBrowser);
    QElapsedTimer clock;
    clock.start();
    QVERIFY_THROWS_EXCEPTION(VistrelError, Awaited(renderer.Render()));
    QVERIFY(clock.elapsed() < 10000);
    FBrowser->SetTimeLimit(15000);
    FBrowser->Stop();
}

void tst_CaptureEngine::refusedConnectionIsAFailure() {
    QTcpServer closed; // a port that surely refuses: bound a moment ago, closed again
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    QSignalSpy failed(FBrowser, &Browser::LoadFailed);
    QSignalSpy complete(FBrowser, &Browser::DocumentComplete);
    FBrowser->Navigate(QStringLiteral("http://127.0.0.1:%1/").arg(port));
    QVERIFY(failed.wait(30000));
    QVERIFY(!failed.first().first().toString().isEmpty());
    QTest::qWait(300);
    QCOMPARE(complete.size(), 0);
}

void tst_CaptureEngine::endedPageProcessIsAFailure() {
    const PixelPage pixels{QSize(600, 400), false, QRect()};
    QVERIFY(Load(QUrl::fromLocalFile(pixels.WriteTo(FFolder.path(), QStringLiteral("ended.html")))
                     .toString()));
    const qint64 pid = Awaited(FBrowser->PageProcessId());
    QVERIFY(pid > 0);
    QSignalSpy failed(FBrowser, &Browser::LoadFailed);
    ::kill(pid_t(pid), SIGKILL);
    QVERIFY(failed.wait(30000));
    QCOMPARE(failed.first().first().toString(), QStringLiteral("the page's process was killed"));
    // the next page gets a new process
    QVERIFY(Load(QUrl::fromLocalFile(pixels.WriteTo(FFolder.path(), QStringLiteral("after.html")))
                     .toString()));
    PageRenderer renderer(*FBrowser);
    FBrowser->SetViewSize(QSize(800, 600));
    QCOMPARE(pixels.Compare(Awaited(renderer.Render()), QSize(800, 600)), QString());
}

// Chromium's page process is confined by seccomp; started by root, it runs as another user.
void tst_CaptureEngine::pageProcessIsSandboxed() {
    if (Engine != "chromium")
        QSKIP("The embedded engine runs without its sandbox as root");
    const PixelPage pixels{QSize(600, 400), false, QRect()};
    QVERIFY(Load(QUrl::fromLocalFile(pixels.WriteTo(FFolder.path(), QStringLiteral("sandbox.html")))
                     .toString()));
    const qint64 pid = Awaited(FBrowser->PageProcessId());
    QVERIFY(pid > 0);
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    QVERIFY(status.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(status.readAll());
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("\\nSeccomp:\\s+2\\n"))),
             qPrintable(text));
    const QRegularExpressionMatch uid =
        QRegularExpression(QStringLiteral("\\nUid:\\s+(\\d+)")).match(text);
    QVERIFY(uid.hasMatch());
    if (geteuid() == 0)
        QVERIFY(uid.captured(1).toInt() != 0);
}

// What the caller had open and set stays with the caller: a browser run as another user must
// not write to root's files or read root's secrets.
void tst_CaptureEngine::browserGetsNoDescriptorOrVariableOfOurs() {
    if (Engine != "chromium")
        QSKIP("The embedded engine runs inside this process");
    const QString operatorFile = FFolder.filePath(QStringLiteral("operator.txt"));
    const int inherited = ::open(QFile::encodeName(operatorFile).constData(), O_WRONLY | O_CREAT,
                                 0600); // no O_CLOEXEC, as `exec 7>file`
    QVERIFY(inherited >= 0);
    qputenv("VISTREL_TEST_SECRET", "marker");
    ChromiumProcess browser(ChromiumProcess::Options{});
    ::close(inherited);
    qunsetenv("VISTREL_TEST_SECRET");
    const QString proc = QStringLiteral("/proc/%1/").arg(browser.ProcessId());
    QStringList open;
    for (const QFileInfo& fd : QDir(proc + QStringLiteral("fd")).entryInfoList(QDir::System))
        open << fd.fileName() + QStringLiteral(" -> ") + fd.symLinkTarget();
    QVERIFY2(!open.isEmpty(), "no descriptors read");
    QVERIFY2(!open.join(u'\n').contains(operatorFile), qPrintable(open.join(u'\n')));
    // read empty while the process is still between fork and its program (a busy machine)
    QByteArray listed;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QFile environment(proc + QStringLiteral("environ"));
            listed = environment.open(QIODevice::ReadOnly) ? environment.readAll() : QByteArray();
            return !listed.isEmpty();
        }(),
        5000);
    const QByteArrayList variables = listed.split('\0');
    QVERIFY(!variables.contains("VISTREL_TEST_SECRET=marker"));
    QVERIFY(std::any_of(variables.begin(), variables.end(),
                        [](const QByteArray& v) { return v.startsWith("HOME=/"); }));
}

// "-unattended" runs the same checks with the engine as command-line runs start it;
// "-engine chromium" runs them on headless Chromium.
int main(int argc, char** argv) {
    std::vector<char*> arguments(argv, argv + argc);
    const auto unattended =
        std::find(arguments.begin(), arguments.end(), std::string("-unattended"));
    const bool fast = unattended != arguments.end();
    if (fast)
        arguments.erase(unattended);
    const auto engine = std::find(arguments.begin(), arguments.end(), std::string("-engine"));
    if (engine != arguments.end() && engine + 1 != arguments.end()) {
        Engine = *(engine + 1);
        arguments.erase(engine, engine + 2);
    }
    argc = int(arguments.size());
    argv = arguments.data();
    PrepareBrowserEngine(fast ? EngineUse::Unattended : EngineUse::Interactive);
    QApplication app(argc, argv);
    tst_CaptureEngine test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_capture_engine.moc"
