// SPDX-License-Identifier: GPL-3.0-or-later
// The built vistrel-pro run as a process, as a script would run it: files written, exit
// statuses, stderr, and nothing left running afterwards.
#include "CliChecks.h"
#include "CliPages.h"
#include "cli/ExitCodes.h"
#include "support/HttpFixture.h"
#include "support/PageFolder.h"
#include "support/ProgramRunner.h"
#include "support/ProgramSandbox.h"
#include "support/TestHelpers.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <unistd.h>

using namespace CliChecks;

namespace {

constexpr int RunLimitMs = 60000;
// How long a run that must keep waiting is watched before it is killed.
constexpr int WaitingMs = 6000;

int Code(ExitCode code) {
    return ToInt(code);
}

QString OldContent() {
    return QStringLiteral("old");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Describe(const ProgramResult& result) {
    // The program's own lines first: QtTest cuts long messages short.
    return QStringLiteral("exit %1%2%3 after %4 ms; program lines:\n%5\nstderr ends:\n%6")
        .arg(result.exitCode)
        .arg(result.timedOut ? QStringLiteral(" (killed at the time limit)") : QString())
        .arg(result.crashed ? QStringLiteral(" (crashed)") : QString())
        .arg(result.elapsedMs)
        .arg(CliChecks::ProgramLines(result.standardError).join(u'\n'))
        .arg(QString::fromUtf8(result.standardError.right(400)));
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

    PageFolder FPages;
    HttpFixture FHttp;
    quint16 FDeadPort = 0;

    QString PageUrl(const QString& name) const {
        return QUrl::fromLocalFile(FPages.filePath(name)).toString();
    }

    // {bands} and the other pages, {http}, {refused}, {dir} (the run's folder, its working
    // directory too).
    QString Expand(QString text, const ProgramSandbox& sandbox, bool pattern = false) const {
        const auto quote = [pattern](const QString& value) {
            return pattern ? QRegularExpression::escape(value) : value;
        };
        for (const char* page : {"bands", "short", "exact", "wide", "huge"}) {
            text.replace(QStringLiteral("{%1}").arg(page),
                         quote(PageUrl(QString::fromLatin1(page) + QStringLiteral(".html"))));
        }
        text.replace(QStringLiteral("{http}"),
                     quote(QStringLiteral("http://127.0.0.1:%1").arg(FHttp.port())));
        text.replace(QStringLiteral("{refused}"),
                     quote(QStringLiteral("http://127.0.0.1:%1/").arg(FDeadPort)));
        text.replace(QStringLiteral("{dir}"), quote(sandbox.path()));
        text.replace(QStringLiteral("{cookies}"), quote(FPages.filePath("cookies.txt")));
        return text;
    }

    // Every request that is not for this machine goes to a proxy that is not there: no run
    // reaches the network, not even the start address of the window.
    ProgramRunOptions Options(const QStringList& arguments, const ProgramSandbox& sandbox) const {
        ProgramRunOptions options;
        for (const QString& argument : arguments) {
            options.arguments << Expand(argument, sandbox);
        }
        options.timeLimitMs = RunLimitMs;
        options.setVariables = {
            {QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
             QStringLiteral("--proxy-server=http://127.0.0.1:%1").arg(FDeadPort)}};
        return options;
    }

    static void VerifyEnded(const ProgramResult& result) {
        QVERIFY2(result.started, qPrintable(result.startError));
        QVERIFY2(!result.crashed, qPrintable(Describe(result)));
        QVERIFY2(result.leftovers.isEmpty(), qPrintable(result.leftovers.join(u", ")));
    }

    static void VerifyNothingWritten(const ProgramSandbox& sandbox, const QSet<QString>& before) {
        const QSet<QString> after = WrittenFiles(sandbox);
        QVERIFY2(after == before, qPrintable(QStringList(after.values()).join(u", ")));
    }

    // Pages for the capture's controls: content drawn late, a reflection of the request's
    // identity, media features, a fixed banner and an element taller than the view.
    void AddControlPages() {
        const QByteArray solid = "<!DOCTYPE html><style>body { margin: 0 } div { height: 100px; "
                                 "background: #ff0000 }";
        FHttp.addPage("/late", "<!DOCTYPE html><body style='margin: 0; background: #ff0000'>"
                               "<script>function paint(c) { document.body.style.background = c }"
                               " setTimeout(() => { const d = document.createElement('div');"
                               " d.id = 'late'; d.style.cssText = 'height: 300px; background: "
                               "#00ff00'; document.body.appendChild(d); window.ready = true; },"
                               " 1000)</script>");
        HttpRoute reflect;
        reflect.kind = HttpRoute::Kind::Reflect;
        reflect.body = solid + " [data-v='Tester/1.0'], [data-v='yes'], [data-v='session=abc'] "
                               "{ background: #00ff00 }</style><div data-v='{{user-agent}}'></div>"
                               "<div data-v='{{x-test}}'></div><div data-v='{{cookie}}'></div>";
        FHttp.addRoute("/reflect", reflect);
        FHttp.addPage("/scheme", solid + " @media (prefers-color-scheme: dark) { div { "
                                         "background: #00ff00 } } @media (prefers-color-scheme: "
                                         "light) { div { background: #0000ff } }</style><div>");
        FHttp.addPage("/motion", solid + " @keyframes k { to { background: #0000ff } } div {"
                                         " animation: k 0.2s infinite alternate } @media "
                                         "(prefers-reduced-motion: reduce) { div { animation: none;"
                                         " background: #00ff00 } }</style><div>");
        FHttp.addPage("/banner",
                      CliPages::BandsHtml("<div id=banner style='position: fixed; left: 0; top: 0;"
                                          " width: 100%; height: 200px; background: #ff0000'>"));
        const QByteArray b1 = CliPages::Colours().value("b1").name().toLatin1();
        const QByteArray b2 = CliPages::Colours().value("b2").name().toLatin1();
        FHttp.addPage("/element", "<!DOCTYPE html><body style='margin: 0'><div style='height: "
                                  "300px'></div><div id=el style='margin-left: 100px; width: "
                                  "400px'><div style='height: 1500px; background: " +
                                      b1 + "'></div><div style='height: 1500px; background: " + b2 +
                                      "'></div></div><div style='height: 300px'></div>");
        WriteFile(FPages.filePath("cookies.txt"),
                  "# Netscape HTTP Cookie File\n127.0.0.1\tFALSE\t/\tFALSE\t0\tsession\tabc\n"
                  "elsewhere.example\tFALSE\t/\tFALSE\t0\tother\tno\n");
    }

    // Rows of the run table for the capture's controls. An option the engine cannot honour
    // fails at once there.
    void AddControlRows() {
        const int ok = Code(ExitCode::Success);
        const QStringList none;
        const bool onQt = qgetenv("VISTREL_TEST_ENGINE") == "qt";
        const auto row = [](const char* name, const QStringList& arguments, int exit,
                            const QStringList& expect, const QStringList& spots,
                            const QStringList& lines = {}) {
            QTest::newRow(name) << arguments << "" << QStringList() << exit << expect << spots
                                << lines << QStringList();
        };
        const auto chromiumOnly = [&](const char* name, const QStringList& arguments,
                                      const QString& option, const QStringList& expect,
                                      const QStringList& spots) {
            if (!onQt)
                return row(name, arguments, ok, expect, spots);
            row(name, arguments, Code(ExitCode::BadUsage), none, none,
                {"=vistrel-pro: " + option +
                 " is not available on Qt WebEngine (/e:qt); capture "
                 "with /e:chromium"});
        };
        const QStringList late{"/u:{http}/late", "/p:out/p.png"};
        const QStringList lateDrawn{"out/p.png@10,10=green", "out/p.png@10,299=green"};
        const QStringList view{"out/p.png=1024x768"};
        row("--wait-for waits for content drawn late", late + QStringList{"--wait-for", "#late"},
            ok, view, lateDrawn);
        row("--wait-until waits for a truthy expression",
            late + QStringList{"--wait-until=window.ready === true"}, ok, view, lateDrawn);
        row("--wait-until awaits a promise",
            late + QStringList{"--wait-until",
                               "new Promise((r) => setTimeout(() => r(!!window.ready), 1300))"},
            ok, view, lateDrawn);
        row("--delay waits after the load", late + QStringList{"--delay", "1600"}, ok, view,
            lateDrawn);
        row("3: --wait-for past the time limit", late + QStringList{"/w:2", "--wait-for", "#never"},
            Code(ExitCode::LoadFailed), none, none,
            {"=vistrel-pro: #never did not appear within 2 s"});
        row("--script calls the page's own function",
            late + QStringList{"--script", "paint('#0000ff')"}, ok, view,
            {"out/p.png@10,500=blue"});
        row("4: a script that throws", late + QStringList{"--script", "throw new Error('no luck')"},
            Code(ExitCode::CaptureFailed), none, none,
            {"=vistrel-pro: the page's script failed: Error: no luck"});
        row("--hide leaves the banner out",
            {"/u:{http}/banner", "/p:out/p.png", "--hide", "#banner", "--hide", "#none"}, ok,
            {"out/p.png=1009x2000"}, {"out/p.png@500,10=b1", "out/p.png@500,199=b1"});
        row("--element: the box of an element taller than the view",
            {"/u:{http}/element", "/p:out/p.png", "--element", "#el"}, ok, {"out/p.png=400x3000"},
            {"out/p.png@0,0=b1", "out/p.png@399,1499=b1", "out/p.png@0,1500=b2",
             "out/p.png@399,2999=b2"});
        row("--element with --padding",
            {"/u:{http}/element", "/p:out/p.png", "--element=#el", "--padding=10"}, ok,
            {"out/p.png=420x3020"},
            {"out/p.png@5,5=white", "out/p.png@10,10=b1", "out/p.png@409,3009=b2",
             "out/p.png@415,3015=white"});
        row("4: --element matches nothing",
            {"/u:{http}/element", "/p:out/p.png", "--element", "#nothing"},
            Code(ExitCode::CaptureFailed), none, none,
            {"=vistrel-pro: no element matches #nothing"});
        row("--size 390x844", {"/u:{bands}", "/p:out/p.png", "--size", "390x844"}, ok,
            {"out/p.png=375x2000"}, {"out/p.png@374,0=b1", "out/p.png@0,1999=b4"});
        row("--user-agent, --header and --cookies reach the page",
            {"/u:{http}/reflect", "/p:out/p.png", "--user-agent", "Tester/1.0", "--header",
             "X-Test: yes", "--cookies", "{cookies}"},
            ok, view,
            {"out/p.png@10,50=green", "out/p.png@10,150=green", "out/p.png@10,250=green"});
        row("3: --fail-on-http-error", {"/u:{http}/gone", "/p:out/p.png", "--fail-on-http-error"},
            Code(ExitCode::LoadFailed), none, none,
            {"=vistrel-pro: {http}/gone was answered with HTTP 404"});
        chromiumOnly("--scale 2: twice the pixels", {"/u:{bands}", "/p:out/p.png", "--scale", "2"},
                     "--scale", {"out/p.png=2018x4000"},
                     {"out/p.png@1000,999=b1", "out/p.png@1000,1000=b2", "out/p.png@2017,3999=b4"});
        chromiumOnly("--color-scheme dark",
                     {"/u:{http}/scheme", "/p:out/p.png", "--color-scheme", "dark"},
                     "--color-scheme", view, {"out/p.png@10,50=green"});
        chromiumOnly("--color-scheme light",
                     {"/u:{http}/scheme", "/p:out/p.png", "--color-scheme=light"}, "--color-scheme",
                     view, {"out/p.png@10,50=blue"});
        chromiumOnly("--reduced-motion stops the animation",
                     {"/u:{http}/motion", "/p:out/p.png", "--reduced-motion"}, "--reduced-motion",
                     view, {"out/p.png@10,50=green"});
    }

private slots:
    void initTestCase() {
        QVERIFY2(QFileInfo(BuiltProgramPath()).isExecutable(), qPrintable(BuiltProgramPath()));
        QVERIFY(FPages.isValid());
        WriteFile(FPages.filePath("bands.html"), CliPages::BandsHtml());
        WriteFile(FPages.filePath("short.html"), CliPages::ShortHtml());
        // At 1024 x 768 the client area beside the vertical scroll bar is 1009 wide.
        WriteFile(FPages.filePath("exact.html"), CliPages::BlockHtml(1009, 2000));
        WriteFile(FPages.filePath("wide.html"), CliPages::BlockHtml(1500, 2000));
        // Over 4 GiB as a 24-bit picture: too large for the working BMP.
        WriteFile(FPages.filePath("huge.html"), CliPages::BlockHtml(1000, 2000000));

        QVERIFY(FHttp.start());
        FHttp.addPage("/bands", CliPages::BandsHtml());
        // Green where the engine knows CSS nesting, :has() and container queries, else red.
        FHttp.addPage("/modern",
                      "<!DOCTYPE html><style>body { margin: 0 } div { height: 100px }"
                      " .n, .h, .q { background: #ff0000 } .p { .n { background: #00ff00 } }"
                      " .h:has(> i) { background: #00ff00 }"
                      " .c { container-type: inline-size; width: 300px; height: auto }"
                      " @container (min-width: 200px) { .c .q { background: #00ff00 } }</style>"
                      "<div class=p><div class=n></div></div><div class=h><i></i></div>"
                      "<div class=c><div class=q></div></div>");
        FHttp.addRedirect("/moved", "/bands");
        FHttp.addPage("/gone", CliPages::BandsHtml(), "text/html; charset=utf-8", 404);
        FHttp.addPage("/stalled", CliPages::BandsHtml("<img src=\"/never.png\" width=\"1\" "
                                                      "height=\"1\" style=\"position: absolute; "
                                                      "left: 0; top: 0\">"));
        FHttp.addStalled("/never.png", "image/png", "\x89PNG\r\n\x1a\n");
        FHttp.addSilent("/silent");
        FHttp.addPage("/one", CliPages::ShortHtml());
        AddControlPages();
        FHttp.addPage("/refresh", "<meta http-equiv=\"refresh\" content=\"0.3; url=/bands\">" +
                                      CliPages::ShortHtml());
        // Below the first screens: the engine asks for them only once they come near the view,
        // and the server takes its time.
        FHttp.addPage("/lazy", CliPages::BandsHtml(
                                   "<div style='height: 8000px'></div>"
                                   "<img loading=lazy src=/red.png width=100 height=100 style="
                                   "'position: absolute; left: 0; top: 6000px'>"
                                   "<img data-src=/blue.png width=100 height=100 style="
                                   "'position: absolute; left: 200px; top: 9000px'><script>"
                                   "new IntersectionObserver((seen) => seen.forEach((e) => {"
                                   " if (e.isIntersecting) e.target.src = e.target.dataset.src"
                                   " })).observe(document.querySelector('[data-src]'))</script>"));
        for (const char* colour : {"red", "blue"}) {
            QImage square(100, 100, QImage::Format_RGB32);
            square.fill(CliPages::Colours().value(QString::fromLatin1(colour)));
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            square.save(&buffer, "PNG");
            FHttp.addSlow(QStringLiteral("/%1.png").arg(QString::fromLatin1(colour)), png, 400,
                          "image/png");
        }

        FDeadPort = UnusedPort();
        QVERIFY(FDeadPort != 0);
    }

    // One run each: the arguments, the saved settings, files made beforehand, then what must
    // be there afterwards. expect: "path=WxH" a picture of that format (by its suffix) and
    // size, "path=old" a file left as it was; the run's folder then holds exactly these.
    // spots: "file@x,y=colour". lines: the program's stderr lines ("=exact" or a pattern).
    // requests: "path=n" requests the fixture must have had for that path during the run.
    void run_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QStringList>("prepare");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("expect");
        QTest::addColumn<QStringList>("spots");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("requests");
        const int ok = Code(ExitCode::Success);
        const QStringList none;
        const QStringList bandSpots{"shots/page.png@500,250=b1",  "shots/page.png@1008,0=b1",
                                    "shots/page.png@0,750=b2",    "shots/page.png@500,1250=b3",
                                    "shots/page.png@500,1999=b4", "shots/page.png@1008,1999=b4"};
        // A frame is the outermost rows and columns; row 1 is already the page.
        const auto frame = [](const QString& file, const QString& colour) {
            return QStringList{file + "@0,0=" + colour,   file + "@-1,-1=" + colour,
                               file + "@0,90=" + colour,  file + "@80,-1=" + colour,
                               file + "@-1,90=" + colour, file + "@80,1=b1"};
        };
        const QString percent = "Thumb_Size=0;Thumb_Width=120;Thumb_Height=90;Thumb_Percent=10";

        // Files and names
        QTest::newRow("/u and /p write the whole page")
            << QStringList{"/u:{bands}", "/p:shots/page.png"} << "" << none << ok
            << QStringList{"shots/page.png=1009x2000"} << bandSpots << none << none;
        QTest::newRow("/t empty names page_thumb.png")
            << QStringList{"/u:{bands}", "/p:shots/page.png", "/t:"} << "" << none << ok
            << QStringList{"shots/page.png=1009x2000", "shots/page_thumb.png=160x180"}
            << QStringList{"shots/page_thumb.png@80,0=b1", "shots/page_thumb.png@80,-1=b4",
                           "shots/page_thumb.png@0,0=b1"}
            << none << none;
        QTest::newRow("/t bare after a jpg picture")
            << QStringList{"/u:{bands}", "/p:shots/page.jpg", "/t"} << "" << none << ok
            << QStringList{"shots/page.jpg=1009x2000", "shots/page_thumb.jpg=160x180"}
            << QStringList{"shots/page.jpg@500,250=b1", "shots/page.jpg@500,1750=b4"} << none
            << none;
        QTest::newRow("bmp picture, bmp thumbnail of its own name")
            << QStringList{"/u:{bands}", "/p:out/page.bmp", "/t:out/small.bmp"} << "" << none << ok
            << QStringList{"out/page.bmp=1009x2000", "out/small.bmp=160x180"}
            << QStringList{"out/page.bmp@500,1250=b3", "out/small.bmp@80,0=b1"} << none << none;
        QTest::newRow("a bare name is written to the current folder")
            << QStringList{"/u:{short}", "/p:page.png"} << "" << none << ok
            << QStringList{"page.png=1024x768"}
            << QStringList{"page.png@10,10=teal", "page.png@1023,299=teal", "page.png@10,300=white",
                           "page.png@1023,767=white"}
            << none << none;
        QTest::newRow("a path with a space")
            << QStringList{"/u:{short}", "/p:My Shots/page one.png"} << "" << none << ok
            << QStringList{"My Shots/page one.png=1024x768"} << none << none << none;
        QTest::newRow("missing folders are created")
            << QStringList{"/u:{short}", "/p:{dir}/a/b/c/page.png"} << "" << none << ok
            << QStringList{"a/b/c/page.png=1024x768"} << none << none << none;
        QTest::newRow("an older file is replaced")
            << QStringList{"/u:{short}", "/p:out/page.png"} << "" << QStringList{"out/page.png"}
            << ok << QStringList{"out/page.png=1024x768"} << none << none << none;
        QTest::newRow("switch given twice: the last wins; '=' separates too")
            << QStringList{"/u={short}", "/p:out/first.png", "/p=out/page.png", "/h"} << "" << none
            << ok << QStringList{"out/page.png=1024x768"} << none << none << none;

        // Page sizes
        QTest::newRow("a page exactly as wide as the client area")
            << QStringList{"/u:{exact}", "/p:p.png"} << "" << none << ok
            << QStringList{"p.png=1009x2000"} << QStringList{"p.png@1008,1999=teal"} << none
            << none;
        QTest::newRow("a page wider than the view")
            << QStringList{"/u:{wide}", "/p:p.png"} << "" << none << ok
            << QStringList{"p.png=1500x2000"}
            << QStringList{"p.png@1499,1999=teal", "p.png@1200,10=teal", "p.png@10,1990=teal"}
            << none << none;

        // Resolution
        QTest::newRow("no /r: the saved resolution")
            << QStringList{"/u:{short}", "/p:p.png"} << "SR=1" << none << ok
            << QStringList{"p.png=1280x1024"} << none << none << none;
        QTest::newRow("/r:7 keeps the saved 800 x 600")
            << QStringList{"/u:{short}", "/p:p.png", "/r:7"} << "SR=3" << none << ok
            << QStringList{"p.png=800x600"} << none << none << none;
        QTest::newRow("/r:7 on a tall page at the saved 800 x 600")
            << QStringList{"/r:7", "/u:{bands}", "/p:p.png"} << "SR=3" << none << ok
            << QStringList{"p.png=785x2000"} << none << none << none;
        QTest::newRow("/r empty is 1024 x 768")
            << QStringList{"/u:{short}", "/p:p.png", "/r:"} << "SR=3" << none << ok
            << QStringList{"p.png=1024x768"} << none << none << none;
        QTest::newRow("/r bare is 1024 x 768")
            << QStringList{"/u:{short}", "/p:p.png", "/r"} << "SR=1" << none << ok
            << QStringList{"p.png=1024x768"} << none << none << none;
        QTest::newRow("/r:1 is 1280 x 1024")
            << QStringList{"/u:{short}", "/p:p.png", "/r:1"} << "" << none << ok
            << QStringList{"p.png=1280x1024"} << none << none << none;
        QTest::newRow("/r:1 on a tall page")
            << QStringList{"/u:{bands}", "/p:p.png", "/r:1"} << "" << none << ok
            << QStringList{"p.png=1265x2000"} << QStringList{"p.png@1264,1999=b4"} << none << none;
        QTest::newRow("/r:3 on a tall page")
            << QStringList{"/u:{bands}", "/p:p.png", "/r:3"} << "" << none << ok
            << QStringList{"p.png=785x2000"} << QStringList{"p.png@784,1999=b4"} << none << none;
        QTest::newRow("/r given twice")
            << QStringList{"/u:{short}", "/p:p.png", "/r:1", "/r:3"} << "" << none << ok
            << QStringList{"p.png=800x600"} << none << none << none;

        // Thumbnail size
        QTest::newRow("saved percentage without /s")
            << QStringList{"/u:{bands}", "/p:p.png", "/t:"} << percent << none << ok
            << QStringList{"p.png=1009x2000", "p_thumb.png=100x200"} << none << none << none;
        QTest::newRow("/s:200 switches to width and height, keeps both")
            << QStringList{"/u:{bands}", "/p:p.png", "/t:", "/s:200"} << percent << none << ok
            << QStringList{"p.png=1009x2000", "p_thumb.png=120x90"} << none << none << none;
        QTest::newRow("/s:200:abc keeps the height")
            << QStringList{"/u:{bands}", "/p:p.png", "/t:", "/s:200:abc"} << percent << none << ok
            << QStringList{"p.png=1009x2000", "p_thumb.png=200x90"} << none << none << none;
        QTest::newRow("/s:abc:50 keeps both")
            << QStringList{"/u:{bands}", "/p:p.png", "/t:", "/s:abc:50"} << percent << none << ok
            << QStringList{"p.png=1009x2000", "p_thumb.png=120x90"} << none << none << none;
        QTest::newRow("/s:2000:2000 is held at 1024 x 768")
            << QStringList{"/u:{bands}", "/p:p.png", "/t:", "/s:2000:2000"} << "" << none << ok
            << QStringList{"p.png=1009x2000", "p_thumb.png=1024x768"} << none << none << none;
        QTest::newRow("/s:0:-4 is held at 1 x 1")
            << QStringList{"/u:{bands}", "/p:p.png", "/t:", "/s:0:-4"} << "" << none << ok
            << QStringList{"p.png=1009x2000", "p_thumb.png=1x1"} << none << none << none;

        // Crops
        QTest::newRow("/cp:abc does not crop")
            << QStringList{"/u:{bands}", "/p:shots/page.png", "/cp:abc"} << "" << none << ok
            << QStringList{"shots/page.png=1009x2000"} << bandSpots << none << none;
        QTest::newRow("/cp:5000 crops at 3000, white below the page")
            << QStringList{"/u:{bands}", "/p:p.png", "/cp:5000"} << "" << none << ok
            << QStringList{"p.png=1009x3000"}
            << QStringList{"p.png@500,1999=b4", "p.png@500,2000=white", "p.png@0,2999=white",
                           "p.png@1008,2500=white"}
            << none << none;
        QTest::newRow("/cp:0 is held at one row")
            << QStringList{"/u:{bands}", "/p:p.png", "/cp:0"} << "" << none << ok
            << QStringList{"p.png=1009x1"} << QStringList{"p.png@0,0=b1"} << none << none;
        QTest::newRow("/cp crops the picture, not the thumbnail")
            << QStringList{"/u:{bands}", "/p:p.png", "/t:", "/cp:1200"} << percent << none << ok
            << QStringList{"p.png=1009x1200", "p_thumb.png=100x200"}
            << QStringList{"p.png@500,1199=b3", "p_thumb.png@50,199=b4"} << none << none;
        QTest::newRow("/ct crops the thumbnail's page, not the picture")
            << QStringList{"/u:{bands}", "/p:p.png", "/t:", "/ct:1000"} << percent << none << ok
            << QStringList{"p.png=1009x2000", "p_thumb.png=100x100"}
            << QStringList{"p.png@500,1999=b4", "p_thumb.png@50,99=b2"} << none << none;
        QTest::newRow("/ct by width and height: made from the top rows")
            << QStringList{"/u:{bands}", "/p:p.png", "/t:", "/ct:500"} << "" << none << ok
            << QStringList{"p.png=1009x2000", "p_thumb.png=160x180"}
            << QStringList{"p_thumb.png@80,-1=b1"} << none << none;
        QTest::newRow("saved crops are not used")
            << QStringList{"/u:{bands}", "/p:p.png", "/t:"}
            << percent + ";PicSize=1;PicSizeInteger=500;PicThumbSize=1;PicSize_Thumb_Integer=300"
            << none << ok << QStringList{"p.png=1009x2000", "p_thumb.png=100x200"} << none << none
            << none;
        QTest::newRow("saved ShowIE: the browser stays out of sight")
            << QStringList{"/u:{short}", "/p:p.png"} << "ShowIE=1" << none << ok
            << QStringList{"p.png=1024x768"} << none << none << none;

        // Frames
        QTest::newRow("/b:#FF0000 last: red frame")
            << QStringList{"/u:{bands}", "/p:p.png", "/t:t.png", "/b:#FF0000"} << "" << none << ok
            << QStringList{"p.png=1009x2000", "t.png=160x180"} << frame("t.png", "red") << none
            << none;
        QTest::newRow("/b:#FF0000 first: red frame")
            << QStringList{"/b:#FF0000", "/u:{bands}", "/p:p.png", "/t:t.png"} << "" << none << ok
            << QStringList{"p.png=1009x2000", "t.png=160x180"} << frame("t.png", "red") << none
            << none;
        QTest::newRow("/b alone: black frame, whatever the saved colour")
            << QStringList{"/u:{bands}", "/p:p.png", "/t:t.png", "/b"} << "Thumb_Color=0xff00"
            << none << ok << QStringList{"p.png=1009x2000", "t.png=160x180"}
            << frame("t.png", "black") << none << none;
        QTest::newRow("/b unreadable: black frame")
            << QStringList{"/u:{bands}", "/p:p.png", "/t:t.png", "/b:#GG0000"} << "" << none << ok
            << QStringList{"p.png=1009x2000", "t.png=160x180"} << frame("t.png", "black") << none
            << none;
        QTest::newRow("/b twice: the last colour")
            << QStringList{"/u:{bands}", "/b:#FF0000", "/p:p.png", "/t:t.png", "/b:#0000FF"} << ""
            << none << ok << QStringList{"p.png=1009x2000", "t.png=160x180"}
            << frame("t.png", "blue") << none << none;
        QTest::newRow("no /b: no frame, whatever the saved setting")
            << QStringList{"/u:{bands}", "/p:p.png", "/t:t.png"}
            << "Thumb_Border=1;Thumb_Color=0xff00" << none << ok
            << QStringList{"p.png=1009x2000", "t.png=160x180"}
            << QStringList{"t.png@0,0=b1", "t.png@80,0=b1", "t.png@-1,-1=b4", "t.png@0,60=b2"}
            << none << none;

        // Pages over HTTP
        QTest::newRow("a redirect is followed")
            << QStringList{"/u:{http}/moved", "/p:shots/page.png"} << "" << none << ok
            << QStringList{"shots/page.png=1009x2000"} << bandSpots << none
            << QStringList{"/moved=1", "/bands=1"};
        QTest::newRow("a 404 page is still a page, with a warning")
            << QStringList{"/u:{http}/gone", "/p:shots/page.png"} << "" << none << ok
            << QStringList{"shots/page.png=1009x2000"} << bandSpots
            << QStringList{"=vistrel-pro: warning: {http}/gone was answered with HTTP 404; "
                           "captured as it came"}
            << QStringList{"/gone=1"};
        AddControlRows();
        QTest::newRow("/w:3, an image never finishes: captured as it stands")
            << QStringList{"/u:{http}/stalled", "/p:shots/page.png", "/w:3"} << "" << none << ok
            << QStringList{"shots/page.png=1009x2000"} << bandSpots
            << QStringList{"vistrel-pro: warning: .*/stalled.* 3 s.*"}
            << QStringList{"/stalled=1", "/never.png=1"};

        QTest::newRow("a meta refresh within the limit is followed")
            << QStringList{"/u:{http}/refresh", "/p:shots/page.png", "/w:20"} << "" << none << ok
            << QStringList{"shots/page.png=1009x2000"} << bandSpots << none
            << QStringList{"/refresh=1", "/bands>=1"};
        QTest::newRow("images that load only in view, slowly, are in the picture")
            << QStringList{"/u:{http}/lazy", "/p:shots/page.png", "/r:3"} << "" << none << ok
            << QStringList{"shots/page.png=785x10000"}
            << QStringList{"shots/page.png@50,6050=red", "shots/page.png@250,9050=blue",
                           "shots/page.png@400,6050=white"}
            << none << QStringList{"/lazy=1", "/red.png=1", "/blue.png=1"};

        // Failures
        QTest::newRow("2: no file named")
            << QStringList{"/u:{short}", "/r:1"} << "" << none << Code(ExitCode::BadUsage) << none
            << none << QStringList{"vistrel-pro: .*/p.*"} << none;
        QTest::newRow("2: two arguments that are no switches")
            << QStringList{"x", "y"} << "" << none << Code(ExitCode::BadUsage) << none << none
            << QStringList{"vistrel-pro: .*/p.*"} << none;
        QTest::newRow("3: connection refused, older file kept")
            << QStringList{"/u:{refused}", "/p:out/page.png", "/t:"} << ""
            << QStringList{"out/page.png"} << Code(ExitCode::LoadFailed)
            << QStringList{"out/page.png=old"} << none << QStringList{"vistrel-pro: .+"} << none;
        QTest::newRow("3: a host that cannot be reached")
            << QStringList{"/u:http://nohost.invalid/", "/p:out/page.png"} << "" << none
            << Code(ExitCode::LoadFailed) << none << none << QStringList{"vistrel-pro: .+"} << none;
        QTest::newRow("3: a missing file")
            << QStringList{"/u:file:///nonexistent/page.html", "/p:out/page.png"} << "" << none
            << Code(ExitCode::LoadFailed) << none << none << QStringList{"vistrel-pro: .+"} << none;
        QTest::newRow("3: /U is no switch: the start address is loaded, warned, and fails here")
            << QStringList{"/U:{http}/bands", "/p:out/page.png"} << "" << none
            << Code(ExitCode::LoadFailed) << none << none
            << QStringList{"=vistrel-pro: warning: no /u:<address>; capturing "
                           "https://www.wikipedia.org/",
                           "vistrel-pro: .+"}
            << QStringList{"/bands=0"};
        // Only pages are loaded: any other scheme would wait out the whole /w time.
        for (const char* address : {"javascript:alert(1)", "ftp://127.0.0.1/page.html",
                                    "about:config", "view-source:{http}/bands"}) {
            const QString scheme = QString::fromLatin1(address).section(u':', 0, 0);
            QTest::addRow("3: %s is refused at once", address)
                << QStringList{"/u:" + QString::fromLatin1(address), "/p:out/page.png", "/w:0"}
                << "" << none << Code(ExitCode::LoadFailed) << none << none
                << QStringList{"vistrel-pro: The browser cannot open \"" + scheme +
                               "\" addresses: .+"}
                << none;
        }
        QTest::newRow("2: an empty /u")
            << QStringList{"/u:", "/p:out/page.png"} << "" << none << Code(ExitCode::BadUsage)
            << none << none << QStringList{"=vistrel-pro: /u: is empty: give /u:<address>"} << none;
        QTest::newRow("2: an option's value missing at the end, --no-sandbox first")
            << QStringList{"--no-sandbox", "/e:chromium", "/u:{short}", "/p:out/page.png",
                           "--wait-for"}
            << "" << none << Code(ExitCode::BadUsage) << none << none
            << QStringList{"vistrel-pro: --wait-for needs a value.*"} << none;
        // (the suite's own engine would name the engine of the Capture_Engine row)
        if (geteuid() == 0 && qEnvironmentVariableIsEmpty("VISTREL_TEST_ENGINE")) {
            const QString qtAsRoot =
                "=vistrel-pro: as root, Qt WebEngine (/e:qt, or the saved Capture_Engine 1) runs "
                "pages without a sandbox: pass --no-sandbox to allow that, or capture with "
                "/e:chromium";
            QTest::newRow("2: as root, /e:qt needs --no-sandbox")
                << QStringList{"/u:{short}", "/p:out/page.png", "/e:qt"} << "" << none
                << Code(ExitCode::BadUsage) << none << none << QStringList{qtAsRoot} << none;
            QTest::newRow("2: as root, a saved Capture_Engine 1 needs --no-sandbox")
                << QStringList{"/u:{short}", "/p:out/page.png"} << "Capture_Engine=1" << none
                << Code(ExitCode::BadUsage) << none << none << QStringList{qtAsRoot} << none;
            QTest::newRow("as root, /e:qt with --no-sandbox: warned by name")
                << QStringList{"/u:{short}", "/p:out/page.png", "/e:qt", "--no-sandbox"} << ""
                << none << ok << QStringList{"out/page.png=1024x768"} << none
                << QStringList{"=vistrel-pro: --no-sandbox: the sandbox of Qt WebEngine is off; "
                               "pages run unconfined, with all the rights of this user"}
                << none;
        }
        QTest::newRow("3: /w:3, the server never answers")
            << QStringList{"/u:{http}/silent", "/p:out/page.png", "/w:3"} << "" << none
            << Code(ExitCode::LoadFailed) << none << none
            << QStringList{"vistrel-pro: .*/silent.* 3 s.*"} << QStringList{"/silent=1"};
        QTest::newRow("4: a page too large to capture")
            << QStringList{"/u:{huge}", "/p:out/page.png", "/t:"} << "" << none
            << Code(ExitCode::CaptureFailed) << none << none << QStringList{"vistrel-pro: .+"}
            << none;
        QTest::newRow("5: a picture below a regular file")
            << QStringList{"/u:{short}", "/p:blocker/page.png"} << "" << QStringList{"blocker"}
            << Code(ExitCode::WriteFailed) << QStringList{"blocker=old"} << none
            << QStringList{"vistrel-pro: .+"} << none;
        QTest::newRow("5: a thumbnail below a regular file, after the picture")
            << QStringList{"/u:{short}", "/p:out/page.png", "/t:blocker/t.png"} << ""
            << QStringList{"blocker"} << Code(ExitCode::WriteFailed)
            << QStringList{"blocker=old", "out/page.png=1024x768"} << none
            << QStringList{"vistrel-pro: .+"} << none;
        QTest::newRow("6: upper-case JPG writes no picture, the thumbnail still")
            << QStringList{"/u:{bands}", "/p:out/PAGE.JPG", "/t:out/small.png"} << "" << none
            << Code(ExitCode::UnknownFormat) << QStringList{"out/small.png=160x180"}
            << QStringList{"out/small.png@80,0=b1"}
            << QStringList{"vistrel-pro: .*out/PAGE\\.JPG.*"} << none;
        QTest::newRow("6: a thumbnail of no known format, the picture still")
            << QStringList{"/u:{short}", "/p:out/page.png", "/t:out/thumb.gif"} << "" << none
            << Code(ExitCode::UnknownFormat) << QStringList{"out/page.png=1024x768"} << none
            << QStringList{"vistrel-pro: .*out/thumb\\.gif.*"} << none;
        QTest::newRow("7: a folder with a space before a backslash")
            << QStringList{"/u:{short}", "/p:{dir}/out \\/a.png", "/t:out/t.png"} << "" << none
            << Code(ExitCode::RejectedPath) << none << none
            << QStringList{"=vistrel-pro: Sorry, cannot create folder \" {dir}/out \\/ \""} << none;
        QTest::newRow("7: each rejected path is reported")
            << QStringList{"/p:shots \\a.png", "/u:{short}", "/t:{dir}/small \\b.png"} << "" << none
            << Code(ExitCode::RejectedPath) << none << none
            << QStringList{"=vistrel-pro: Sorry, cannot create folder \"  \"",
                           "=vistrel-pro: Sorry, cannot create folder \" {dir}/ \""}
            << none;
    }

    void run() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, settings);
        QFETCH(QStringList, prepare);
        QFETCH(int, exitCode);
        QFETCH(QStringList, expect);
        QFETCH(QStringList, spots);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, requests);
        const ProgramSandbox sandbox;
        QVERIFY(sandbox.isValid());
        const QMap<QString, quint32> saved = SettingsWith(settings);
        if (!settings.isEmpty()) {
            WriteSettings(sandbox, saved);
        }
        for (const QString& name : prepare) {
            WriteFile(sandbox.filePath(name), OldContent().toUtf8());
        }
        QHash<QString, int> before;
        for (const QString& request : requests) {
            const QString path = request.section(u'=', 0, 0);
            before.insert(path, FHttp.requestCount(path));
        }

        const ProgramResult result = RunProgram(Options(arguments, sandbox), sandbox);

        VerifyEnded(result);
        QVERIFY2(result.exitedWith(exitCode), qPrintable(Describe(result)));
        QStringList patterns;
        for (const QString& line : lines) {
            patterns << Expand(line, sandbox, !line.startsWith(u'='));
        }
        const QString linesWrong = CheckLines(ProgramLines(result.standardError), patterns);
        QVERIFY2(linesWrong.isEmpty(), qPrintable(linesWrong));

        QSet<QString> files;
        for (const QString& item : expect) {
            const QString name = item.section(u'=', 0, 0);
            const QString what = item.section(u'=', 1);
            files.insert(name);
            if (what == OldContent()) {
                QCOMPARE(ReadFile(sandbox.filePath(name)), OldContent().toUtf8());
            } else {
                const QString wrong = CheckPicture(sandbox.filePath(name), what);
                QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
            }
        }
        const QSet<QString> written = WrittenFiles(sandbox);
        QVERIFY2(written == files, qPrintable(QStringList(written.values()).join(u", ")));
        for (const QString& spot : spots) {
            const QString wrong = CheckSpot(sandbox.path(), spot);
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        }
        // "path=n": asked for n times; "path>=n": at least n times (a request stopped on its
        // way may already have reached the server).
        for (const QString& request : requests) {
            const bool atLeast = request.contains(QLatin1String(">="));
            const QString path = request.section(QRegularExpression(QStringLiteral(">?=")), 0, 0);
            const int wanted = request.section(u'=', 1).toInt();
            const int made = FHttp.requestCount(path) - before.value(path);
            QVERIFY2(atLeast ? made >= wanted : made == wanted,
                     qPrintable(QStringLiteral("%1: %2 requests").arg(request).arg(made)));
        }
        QVERIFY2(WorkingPicturesLeft(sandbox).isEmpty(),
                 qPrintable(WorkingPicturesLeft(sandbox).join(u", ")));
        // A command-line run changes no saved setting.
        if (!settings.isEmpty()) {
            QCOMPARE(ReadSettings(sandbox), saved);
        }
    }

    // One argument starts the wizard, which waits for the user: nothing loads, nothing is
    // written, until the run is killed.
    void oneArgumentWaits_data() {
        QTest::addColumn<QString>("argument");
        QTest::newRow("/p alone") << "/p:out/page.png";
        QTest::newRow("/u alone") << "/u:{http}/one";
        QTest::newRow("/t alone") << "/t:out/t.png";
    }
    void oneArgumentWaits() {
        QFETCH(QString, argument);
        const ProgramSandbox sandbox;
        const int requests = FHttp.requestCount("/one");
        ProgramRunOptions options = Options({argument}, sandbox);
        options.timeLimitMs = WaitingMs;
        const ProgramResult result = RunProgram(options, sandbox);
        VerifyEnded(result);
        QVERIFY2(result.timedOut, qPrintable(Describe(result)));
        VerifyNothingWritten(sandbox, {});
        QCOMPARE(FHttp.requestCount("/one"), requests);
        const QStringList asRoot{"vistrel-pro: warning: run as root, the browser window (Qt "
                                 "WebEngine) shows pages without a sandbox"};
        QCOMPARE(ProgramLines(result.standardError), geteuid() == 0 ? asRoot : QStringList());
    }

    // A run that names no engine renders today's CSS (the embedded engine is older).
    void defaultEngineKnowsModernCss() {
        const ProgramSandbox sandbox;
        ProgramRunOptions options = Options({"/u:{http}/modern", "/p:out/page.png"}, sandbox);
        options.program = BuiltProgramPath(); // as it stands, whatever engine the suite runs on
        const ProgramResult result = RunProgram(options, sandbox);
        QVERIFY2(result.exitedWith(0), qPrintable(Describe(result)));
        for (const char* spot : {"out/page.png@50,50=green", "out/page.png@50,150=green",
                                 "out/page.png@50,250=green"}) {
            const QString wrong = CheckSpot(sandbox.path(), QString::fromLatin1(spot));
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        }
    }

    // Without chromium-headless-shell a run on it fails at once, naming the package; /e:qt
    // still captures.
    void missingChromiumIsNamed() {
        const ProgramSandbox sandbox;
        ProgramRunOptions options = Options({"/u:{bands}", "/p:out/page.png"}, sandbox);
        options.program = BuiltProgramPath(); // as it stands, whatever engine the suite runs on
        options.setVariables << qMakePair(QStringLiteral("VISTREL_CHROMIUM"),
                                          sandbox.path() + QStringLiteral("/no-such-browser"));
        const ProgramResult missing = RunProgram(options, sandbox);
        QVERIFY2(missing.exitedWith(ToInt(ExitCode::EngineMissing)), qPrintable(Describe(missing)));
        QCOMPARE(CheckLines(ProgramLines(missing.standardError),
                            {".*install the package chromium-headless-shell.*"}),
                 QString());
        VerifyNothingWritten(sandbox, {});
        options.arguments << QStringLiteral("/e:qt");
        if (geteuid() == 0) // the embedded engine has no sandbox as root
            options.arguments << QStringLiteral("--no-sandbox");
        const ProgramResult qt = RunProgram(options, sandbox);
        QVERIFY2(qt.exitedWith(0), qPrintable(Describe(qt)));
    }

    // /w:0 takes the limit away: the last /w wins over an earlier /w:2, and the run waits on.
    void noLoadLimitWaits() {
        const ProgramSandbox sandbox;
        ProgramRunOptions options =
            Options({"/u:{http}/silent", "/w:2", "/p:out/page.png", "/w:0"}, sandbox);
        options.timeLimitMs = WaitingMs;
        const ProgramResult result = RunProgram(options, sandbox);
        VerifyEnded(result);
        QVERIFY2(result.timedOut, qPrintable(Describe(result)));
        VerifyNothingWritten(sandbox, {});
    }

    // With neither a display nor a platform named, the unattended run finds its own.
    void noDisplay_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("expect");
        QTest::newRow("captures offscreen")
            << QStringList{"/u:{bands}", "/p:out/page.png", "/t:"} << Code(ExitCode::Success)
            << QStringList{"out/page.png=1009x2000", "out/page_thumb.png=160x180"};
        QTest::newRow("a failure goes to stderr") << QStringList{"/u:{refused}", "/p:out/page.png"}
                                                  << Code(ExitCode::LoadFailed) << QStringList{};
        QTest::newRow("a write failure goes to stderr")
            << QStringList{"/u:{short}", "/p:/dev/null/page.png"} << Code(ExitCode::WriteFailed)
            << QStringList{};
        QTest::newRow("the windows cannot start")
            << QStringList{"/u:{bands}"} << ToInt(ExitCode::NoDisplay) << QStringList{};
        // an empty argument is no argument: one /u starts the windows, which need a display
        QTest::newRow("an empty argument and /u")
            << QStringList{"", "/u:{bands}"} << ToInt(ExitCode::NoDisplay) << QStringList{};
    }
    void noDisplay() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, expect);
        const ProgramSandbox sandbox;
        ProgramRunOptions options = Options(arguments, sandbox);
        options.display = false;
        options.removeVariables = {"QT_QPA_PLATFORM"};
        options.timeLimitMs = 30000;
        const ProgramResult result = RunProgram(options, sandbox);
        VerifyEnded(result);
        QVERIFY2(result.exitedWith(exitCode), qPrintable(Describe(result)));
        QSet<QString> files;
        for (const QString& item : expect) {
            files.insert(item.section(u'=', 0, 0));
            const QString wrong =
                CheckPicture(sandbox.filePath(item.section(u'=', 0, 0)), item.section(u'=', 1));
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        }
        VerifyNothingWritten(sandbox, files);
        QCOMPARE(ProgramLines(result.standardError).size(), exitCode == 0 ? 0 : 1);
    }

    // A run told to end, while its page still loads, ends at once with 128 + signal and one
    // line, leaving no file behind.
    void signalEndsTheRun_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("line");
        QTest::newRow("SIGTERM") << SIGTERM << "vistrel-pro: ended by SIGTERM (Terminated)";
        QTest::newRow("SIGINT") << SIGINT << "vistrel-pro: ended by SIGINT (Interrupt)";
        QTest::newRow("SIGHUP") << SIGHUP << "vistrel-pro: ended by SIGHUP (Hangup)";
    }
    void signalEndsTheRun() {
        QFETCH(int, signal);
        const ProgramSandbox sandbox;
        ProgramRunOptions options =
            Options({"/u:{http}/silent", "/p:out/page.png", "/t:"}, sandbox);
        options.signal = signal;
        options.signalAfterMs = 1500;
        options.timeLimitMs = 20000;
        const ProgramResult result = RunProgram(options, sandbox);
        VerifyEnded(result);
        QVERIFY2(result.exitedWith(128 + signal), qPrintable(Describe(result)));
        QTEST(ProgramLines(result.standardError).join(u'\n'), "line");
        VerifyNothingWritten(sandbox, {});
        QVERIFY(WorkingPicturesLeft(sandbox).isEmpty());
    }

    // A signal while the run is taken down (the picture and thumbnail written, the browser
    // ending) never kills it by the default action: it ends with 128 + signal and its line, or
    // had already ended with 0; either way no browser profile is left.
    void signalAsTheLastFileIsWritten_data() { signalEndsTheRun_data(); }
    void signalAsTheLastFileIsWritten() {
        QFETCH(int, signal);
        QFETCH(QString, line);
        const ProgramSandbox sandbox;
        ProgramRunOptions options = Options({"/u:{short}", "/p:out/page.png", "/t:"}, sandbox);
        options.signal = signal;
        options.signalWhenFile = QStringLiteral("out/page_thumb.png");
        const ProgramResult result = RunProgram(options, sandbox);
        VerifyEnded(result);
        const QStringList lines = ProgramLines(result.standardError);
        QVERIFY2(result.exitedWith(128 + signal) ? lines == QStringList{line}
                                                 : result.exitedWith(0) && lines.isEmpty(),
                 qPrintable(Describe(result)));
        QCOMPARE(WrittenFiles(sandbox), QSet<QString>({"out/page.png", "out/page_thumb.png"}));
        QCOMPARE(ProfilesLeftBy(result.pid, sandbox), QStringList());
    }

    // A run killed outright leaves its browser profile; the next run of the same user removes
    // it once it is a minute old.
    void killedRunsProfileIsRemovedLater() {
        const ProgramSandbox sandbox;
        ProgramRunOptions killed = Options({"/u:{http}/silent", "/p:out/page.png"}, sandbox);
        killed.program = BuiltProgramPath(); // the profile is Chromium's
        killed.signal = SIGKILL;
        killed.signalAfterMs = 2000;
        const ProgramResult result = RunProgram(killed, sandbox);
        QVERIFY(result.started);
        const QStringList left = ProfilesLeftBy(result.pid, sandbox);
        QVERIFY2(!left.isEmpty(), "the killed run left no profile");
        const QString owner = left.first() + QStringLiteral("/vistrel-owner.pid");
        ProgramRunOptions next = Options({"/u:{short}", "/p:out/page.png"}, sandbox);
        next.program = BuiltProgramPath();
        QVERIFY2(RunProgram(next, sandbox).exitedWith(0), "the next run failed");
        QVERIFY2(QFileInfo::exists(owner), "removed before it was a minute old");
        QFile file(owner);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                                 QFileDevice::FileModificationTime));
        file.close();
        QVERIFY2(RunProgram(next, sandbox).exitedWith(0), "the next run failed");
        QVERIFY2(!QFileInfo::exists(left.first()), qPrintable(left.first()));
    }

    // On a real X display the run works the same and still ends by itself.
    void withDisplay() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty()) {
            QSKIP("Xvfb is not installed");
        }
        int display = 91;
        while (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(display))) {
            ++display;
        }
        QProcess server;
        server.start(xvfb, {QStringLiteral(":%1").arg(display), "-nolisten", "tcp", "-screen", "0",
                            "1280x1024x24"});
        QVERIFY(server.waitForStarted());
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(display);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 10000);

        const ProgramSandbox sandbox;
        ProgramRunOptions options = Options({"/u:{bands}", "/p:shots/page.png"}, sandbox);
        options.removeVariables = {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY"};
        options.setVariables << qMakePair(QStringLiteral("DISPLAY"),
                                          QStringLiteral(":%1").arg(display));
        const ProgramResult result = RunProgram(options, sandbox);
        server.terminate();
        server.waitForFinished(5000);

        VerifyEnded(result);
        QVERIFY2(result.exitedWith(0), qPrintable(Describe(result)));
        const QString wrong = CheckPicture(sandbox.filePath("shots/page.png"), "1009x2000");
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        for (const QString& spot :
             QStringList{"shots/page.png@500,250=b1", "shots/page.png@500,1999=b4"}) {
            const QString spotWrong = CheckSpot(sandbox.path(), spot);
            QVERIFY2(spotWrong.isEmpty(), qPrintable(spotWrong));
        }
        QCOMPARE(ProgramLines(result.standardError), QStringList());
    }

    void information_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("display");
        QTest::newRow("--help") << "--help" << true;
        QTest::newRow("-h") << "-h" << true;
        QTest::newRow("--help with no display") << "--help" << false;
        QTest::newRow("--version") << "--version" << true;
    }
    void information() {
        QFETCH(QString, argument);
        QFETCH(bool, display);
        const ProgramSandbox sandbox;
        ProgramRunOptions options = Options({argument}, sandbox);
        options.display = display;
        if (!display) {
            options.removeVariables = {"QT_QPA_PLATFORM"};
        }
        options.timeLimitMs = 20000;
        const ProgramResult result = RunProgram(options, sandbox);
        VerifyEnded(result);
        QVERIFY2(result.exitedWith(0), qPrintable(Describe(result)));
        QCOMPARE(result.standardError, QByteArray());
        VerifyNothingWritten(sandbox, {});
        const QString out = QString::fromUtf8(result.standardOutput);
        if (argument == u"--version") {
            // The program, then both engines: Qt WebEngine and the headless Chromium.
            const QStringList lines = out.split(u'\n');
            QCOMPARE(lines.size(), 4);
            QCOMPARE(lines.at(0), QStringLiteral("Vistrel Pro " VISTREL_VERSION));
            QVERIFY2(lines.at(1).startsWith(QLatin1String("Qt WebEngine 6.")), qPrintable(out));
            QVERIFY2(lines.at(2).endsWith(QLatin1String(" (chromium-headless-shell)")),
                     qPrintable(out));
            QVERIFY(lines.at(3).isEmpty());
            return;
        }
        QVERIFY(out.startsWith(QLatin1String("Usage: vistrel-pro ")));
        QVERIFY(out.endsWith(u'\n'));
        for (const char* name : {"/u", "/p", "/t", "/r", "/s", "/b", "/h", "/cp", "/ct", "/w"}) {
            const QRegularExpression line(QStringLiteral("\\n  %1[:\\[ ]").arg(name));
            QVERIFY2(out.contains(line), name);
        }
        // Every status a run can end with.
        QList<int> codes;
        for (const ExitCodeInfo& info : ExitCodeTable) {
            codes << ToInt(info.code);
        }
        for (const int code : codes) {
            const QRegularExpression line(QStringLiteral("\\n +%1 +\\S").arg(code));
            QVERIFY2(out.contains(line), qPrintable(QStringLiteral("exit status %1").arg(code)));
        }
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
