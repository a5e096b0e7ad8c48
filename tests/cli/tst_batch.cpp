// SPDX-License-Identifier: GPL-3.0-or-later
// Batch runs of the built vistrel-pro: many lines in one process, the report on stdout, lines
// that fail alone, resumed runs, and shares of one list run separately (also by GNU parallel).
#include "CliChecks.h"
#include "CliPages.h"
#include "cli/ExitCodes.h"
#include "support/HttpFixture.h"
#include "support/PageFolder.h"
#include "support/ProgramRunner.h"
#include "support/TestHelpers.h"
#include "support/ProgramSandbox.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>

using namespace CliChecks;

namespace {

constexpr int RunLimitMs = 120000;
constexpr int LineFailed = 9;

// Green the first time a browser profile sees it, red once its storage or cookies remember it.
const char* const RememberingPage =
    "<!DOCTYPE html><html><body style=\"margin: 0\"><div id=\"d\" style=\"height: 300px; "
    "background: #00ff00\"></div><script>"
    "if (localStorage.getItem('seen') || document.cookie.indexOf('seen=1') >= 0)"
    "  document.getElementById('d').style.background = '#ff0000';"
    "localStorage.setItem('seen', '1'); document.cookie = 'seen=1; max-age=3600';"
    "</script></body></html>";

void WriteText(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(text.toUtf8());
}

QString Describe(const ProgramResult& result) {
    return QStringLiteral("exit %1%2 after %3 ms\nstdout:\n%4\nstderr lines:\n%5")
        .arg(result.exitCode)
        .arg(result.timedOut ? QStringLiteral(" (killed at the time limit)") : QString())
        .arg(result.elapsedMs)
        .arg(QString::fromUtf8(result.standardOutput))
        .arg(ProgramLines(result.standardError).join(u'\n'));
}

// The report by line number; a line that is not one JSON object of twelve fields is a failure.
QMap<int, QJsonObject> ReportOf(const ProgramResult& result, QString* wrong) {
    QMap<int, QJsonObject> report;
    for (const QByteArray& line : result.standardOutput.split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        const int number = object.value("line").toInt();
        if (object.size() != 12 || report.contains(number))
            *wrong += QStringLiteral("bad or repeated report line: %1\n").arg(line);
        report.insert(number, object);
    }
    return report;
}

// "status/exit" of a report line.
QString Outcome(const QJsonObject& line) {
    return QStringLiteral("%1/%2")
        .arg(line.value("status").toString())
        .arg(line.value("exit").toInt());
}

} // namespace

class TestBatchRun : public QObject {
    Q_OBJECT

    PageFolder FPages;
    HttpFixture FHttp;
    quint16 FDeadPort = 0;

    QString Expand(QString text) const {
        text.replace(QStringLiteral("{bands}"),
                     QUrl::fromLocalFile(FPages.filePath("bands.html")).toString());
        text.replace(QStringLiteral("{short}"),
                     QUrl::fromLocalFile(FPages.filePath("short.html")).toString());
        text.replace(QStringLiteral("{huge}"),
                     QUrl::fromLocalFile(FPages.filePath("huge.html")).toString());
        text.replace(QStringLiteral("{http}"),
                     QStringLiteral("http://127.0.0.1:%1").arg(FHttp.port()));
        text.replace(QStringLiteral("{refused}"),
                     QStringLiteral("http://127.0.0.1:%1/").arg(FDeadPort));
        return text;
    }

    ProgramRunOptions Options(const QStringList& arguments) const {
        ProgramRunOptions options;
        options.arguments = arguments;
        options.timeLimitMs = RunLimitMs;
        options.setVariables = {
            {QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
             QStringLiteral("--proxy-server=http://127.0.0.1:%1").arg(FDeadPort)}};
        return options;
    }

    // Writes the lines to list.txt in the sandbox and runs the batch with the extra options.
    ProgramResult RunBatch(const ProgramSandbox& sandbox, const QStringList& lines,
                           const QStringList& options = {}) const {
        WriteBatch(sandbox, lines);
        return RunProgram(Options(QStringList{"--batch", "list.txt"} + options), sandbox);
    }

    void WriteBatch(const ProgramSandbox& sandbox, const QStringList& lines) const {
        QStringList expanded;
        for (const QString& line : lines)
            expanded << Expand(line);
        WriteText(sandbox.filePath("list.txt"), expanded.join(u'\n') + u'\n');
    }

    static void VerifyEnded(const ProgramResult& result, int exitCode) {
        QVERIFY2(result.started, qPrintable(result.startError));
        QVERIFY2(result.exitedWith(exitCode), qPrintable(Describe(result)));
        QVERIFY2(result.leftovers.isEmpty(), qPrintable(result.leftovers.join(u", ")));
    }

private slots:
    void initTestCase() {
        QVERIFY2(QFileInfo(BuiltProgramPath()).isExecutable(), qPrintable(BuiltProgramPath()));
        QVERIFY(FPages.isValid());
        WriteText(FPages.filePath("bands.html"), QString::fromUtf8(CliPages::BandsHtml()));
        WriteText(FPages.filePath("short.html"), QString::fromUtf8(CliPages::ShortHtml()));
        // over 4 GiB as a picture
        WriteText(FPages.filePath("huge.html"),
                  QString::fromUtf8(CliPages::BlockHtml(1000, 2000000)));
        QVERIFY(FHttp.start());
        FHttp.addSilent("/silent");
        FHttp.addPage("/bands", CliPages::BandsHtml());
        FHttp.addPage("/remember", RememberingPage);
        FDeadPort = UnusedPort();
        QVERIFY(FDeadPort != 0);
    }

    // lines: the batch file; outcomes: "line=status/exit" for every line reported; expect:
    // "file=WxH" for every file the sandbox holds afterwards; spots: "file@x,y=colour".
    void lines_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("outcomes");
        QTest::addColumn<QStringList>("expect");
        QTest::addColumn<QStringList>("spots");
        QTest::newRow("a failing line among good ones")
            << QStringList{"# pages",
                           "/u:{bands} /p:a.png /t: /s:100:80",
                           "/u:{refused} /p:bad.png",
                           "",
                           "/u:{http}/bands /p:b.jpg /cp:700",
                           "/u:{short} \"/p:c d.bmp\" /r:3"}
            << QStringList{"--jobs", "2"} << "" << LineFailed
            << QStringList{"2=ok/0", "3=failed/3", "5=ok/0", "6=ok/0"}
            << QStringList{"a.png=1009x2000", "a_thumb.png=100x80", "b.jpg=1009x700",
                           "c d.bmp=800x600"}
            << QStringList{"a.png@0,0=b1",      "a.png@1008,499=b1",    "a.png@0,500=b2",
                           "a.png@500,1250=b3", "a.png@-1,-1=b4",       "b.jpg@0,699=b2",
                           "c d.bmp@0,0=teal",  "c d.bmp@799,299=teal", "c d.bmp@0,300=white"};
        QTest::newRow("switches stay on their line; settings are every line's defaults")
            << QStringList{"/u:{bands} /p:d.png /cp:300 /r:1", "/u:{bands} /p:e.png /t:"}
            << QStringList{} << "SR=3" << 0 << QStringList{"1=ok/0", "2=ok/0"}
            << QStringList{"d.png=1265x300", "e.png=785x2000", "e_thumb.png=?"}
            << QStringList{"d.png@1264,299=b1", "e.png@784,1999=b4", "e_thumb.png@0,0=b1"};
        QTest::newRow("refused lines fail alone")
            << QStringList{"/u:{short} \"/p:x \\y.png\"", "/u:{short}", "/u:{short} /p:f.gif",
                           "/u:{short} /p:f.png"}
            << QStringList{"--jobs=1"} << "" << LineFailed
            << QStringList{"1=failed/7", "2=failed/2", "3=failed/6", "4=ok/0"}
            << QStringList{"f.png=1024x768"} << QStringList{"f.png@0,299=teal"};
        QTest::newRow("crashed, killed, silent and too large pages fail alone")
            << QStringList{"/u:chrome://crash /p:k1.png", "/u:{http}/silent /p:k2.png /w:1",
                           "/u:{bands} /p:k3.png", "/u:chrome://kill /p:k4.png",
                           "/u:{huge} /p:k5.png"}
            << QStringList{"--jobs", "4"} << "" << LineFailed
            << QStringList{"1=failed/3", "2=failed/3", "3=ok/0", "4=failed/3", "5=failed/4"}
            << QStringList{"k3.png=1009x2000"} << QStringList{"k3.png@0,0=b1", "k3.png@-1,-1=b4"};
        QTest::newRow("only comments")
            << QStringList{"# nothing", "  # here", ""} << QStringList{} << "" << 0 << QStringList{}
            << QStringList{} << QStringList{};
    }
    void lines() {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, options);
        QFETCH(QString, settings);
        QFETCH(int, exitCode);
        QFETCH(QStringList, outcomes);
        QFETCH(QStringList, expect);
        QFETCH(QStringList, spots);
        const ProgramSandbox sandbox;
        if (!settings.isEmpty())
            WriteSettings(sandbox, SettingsWith(settings));
        const ProgramResult result = RunBatch(sandbox, lines, options);
        VerifyEnded(result, exitCode);
        QString wrong;
        const QMap<int, QJsonObject> report = ReportOf(result, &wrong);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        QStringList seen;
        for (auto it = report.begin(); it != report.end(); ++it)
            seen << QStringLiteral("%1=%2").arg(it.key()).arg(Outcome(*it));
        QVERIFY2(seen == outcomes, qPrintable(Describe(result)));
        QSet<QString> files{QStringLiteral("list.txt")};
        for (const QString& item : expect) {
            const QString name = item.section(u'=', 0, 0);
            files.insert(name);
            if (item.section(u'=', 1) != u"?") {
                const QString bad = CheckPicture(sandbox.filePath(name), item.section(u'=', 1));
                QVERIFY2(bad.isEmpty(), qPrintable(bad));
            }
        }
        QCOMPARE(WrittenFiles(sandbox), files);
        for (const QString& spot : spots) {
            const QString bad = CheckSpot(sandbox.path(), spot);
            QVERIFY2(bad.isEmpty(), qPrintable(bad));
        }
        // what a line reports written is there, with its size
        for (const QJsonObject& line : report) {
            for (const QVariant& name : line.value("files").toArray().toVariantList())
                QVERIFY2(files.contains(name.toString()), qPrintable(name.toString()));
        }
    }

    // A batch line makes the very picture a single run makes.
    void sameAsSingleRun() {
        const ProgramSandbox sandbox;
        const ProgramResult batch = RunBatch(sandbox, {"/u:{http}/bands /p:batch.png /r:3"});
        VerifyEnded(batch, 0);
        const ProgramResult single =
            RunProgram(Options({Expand("/u:{http}/bands"), "/p:single.png", "/r:3"}), sandbox);
        VerifyEnded(single, 0);
        const QImage fromBatch(sandbox.filePath("batch.png"));
        QVERIFY(!fromBatch.isNull());
        QCOMPARE(fromBatch, QImage(sandbox.filePath("single.png")));
    }

    // Each line has a profile of its own: the second visit is a first visit again.
    void linesShareNoStorage() {
        const ProgramSandbox sandbox;
        const ProgramResult result =
            RunBatch(sandbox, {"/u:{http}/remember /p:1.png", "/u:{http}/remember /p:2.png"},
                     {"--jobs", "1"});
        VerifyEnded(result, 0);
        for (const char* spot : {"1.png@0,0=green", "2.png@0,0=green"}) {
            const QString bad = CheckSpot(sandbox.path(), QString::fromLatin1(spot));
            QVERIFY2(bad.isEmpty(), qPrintable(bad));
        }
    }

    void resume() {
        const ProgramSandbox sandbox;
        const QStringList lines{"/u:{short} /p:r1.png",
                                "/u:{short} /p:r2.png /t:", "/u:{short} /p:r3.bmp"};
        VerifyEnded(RunBatch(sandbox, lines), 0);
        const QDateTime written = QFileInfo(sandbox.filePath("r1.png")).lastModified();
        // r2's thumbnail predates the list now, and r3 is gone: those two lines run again
        {
            QFile thumb(sandbox.filePath("r2_thumb.png"));
            QVERIFY(thumb.open(QIODevice::Append));
            QVERIFY(thumb.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                      QFileDevice::FileModificationTime));
        }
        QVERIFY(QFile::remove(sandbox.filePath("r3.bmp")));
        QStringList args{"--batch", "list.txt", "--resume"};
        const ProgramResult again = RunProgram(Options(args), sandbox);
        VerifyEnded(again, 0);
        QString wrong;
        const QMap<int, QJsonObject> report = ReportOf(again, &wrong);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        QCOMPARE(Outcome(report.value(1)), QStringLiteral("skipped/0"));
        QCOMPARE(report.value(1).value("files").toArray().size(), 1);
        QCOMPARE(Outcome(report.value(2)), QStringLiteral("ok/0"));
        QCOMPARE(Outcome(report.value(3)), QStringLiteral("ok/0"));
        QCOMPARE(QFileInfo(sandbox.filePath("r1.png")).lastModified(), written);
        QVERIFY(QFileInfo(sandbox.filePath("r2_thumb.png")).lastModified() > written);
        QCOMPARE(CheckPicture(sandbox.filePath("r3.bmp"), "1024x768"), QString());
        for (const char* name : {"r1.png", "r2.png", "r2_thumb.png", "r3.bmp"})
            QCOMPARE(CheckSpot(sandbox.path(), QString::fromLatin1(name) + "@0,0=teal"), QString());
    }

    // Every share of a list run on its own: together they write every picture exactly once.
    // With GNU parallel, ":" as the host stands in for the machines.
    void shards_data() {
        QTest::addColumn<bool>("parallel");
        QTest::newRow("one run a share") << false;
        QTest::newRow("GNU parallel") << true;
    }
    void shards() {
        QFETCH(bool, parallel);
        const QString tool = QStandardPaths::findExecutable("parallel");
        if (parallel && tool.isEmpty())
            QSKIP("GNU parallel is not installed (scripts/install-deps installs it)");
        const ProgramSandbox sandbox;
        QStringList lines{"# five pages, the comment counted"};
        for (int i = 1; i <= 5; ++i)
            lines << QStringLiteral("/u:{bands} /p:s%1.png /r:3").arg(i);
        WriteText(sandbox.filePath("list.txt"), Expand(lines.join(u'\n')));
        QByteArray output;
        if (parallel) {
            ProgramRunOptions options =
                Options({"--will-cite", "--sshlogin", ":", BuiltProgramPath(), "--batch",
                         "list.txt", "--shard", "{}/3", ":::", "1", "2", "3"});
            options.program = tool;
            const ProgramResult result = RunProgram(options, sandbox);
            VerifyEnded(result, 0);
            output = result.standardOutput;
        } else {
            for (int k = 1; k <= 3; ++k) {
                const QStringList args{"--batch", "list.txt", "--shard",
                                       QStringLiteral("%1/3").arg(k)};
                const ProgramResult result = RunProgram(Options(args), sandbox);
                VerifyEnded(result, 0);
                output += result.standardOutput;
            }
        }
        QStringList reported;
        for (const QByteArray& line : output.split('\n')) {
            if (!line.isEmpty())
                reported += QJsonDocument::fromJson(line)["files"].toVariant().toStringList();
        }
        reported.sort();
        QCOMPARE(reported, QStringList({"s1.png", "s2.png", "s3.png", "s4.png", "s5.png"}));
        for (const QString& name : reported) {
            QCOMPARE(CheckSpot(sandbox.path(), name + "@784,-1=b4"), QString());
        }
    }

    // shell: a command line for sh (the program is $P); its stdout and stderr lines.
    // Told to end while pages are being captured, the run stops them and ends with 128 +
    // signal, leaving no process behind.
    void signalEndsTheBatch_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
    }
    void signalEndsTheBatch() {
        QFETCH(int, signal);
        const ProgramSandbox sandbox;
        QStringList lines;
        for (int i = 0; i < 40; ++i)
            lines << QStringLiteral("/u:{bands} /p:%1.png").arg(i);
        WriteBatch(sandbox, lines);
        ProgramRunOptions options = Options({"--batch", "list.txt", "--jobs", "2"});
        options.signal = signal;
        options.signalAfterMs = 2500;
        const ProgramResult result = RunProgram(options, sandbox);
        VerifyEnded(result, 128 + signal);
    }

    void usage_data() {
        QTest::addColumn<QString>("shell");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stderrPattern");
        QTest::addColumn<QString>("file");
        const int bad = ToInt(ExitCode::BadUsage);
        QTest::newRow("no such file")
            << "$P --batch missing.txt" << bad << "cannot read the batch file missing.txt: .+"
            << "";
        QTest::newRow("a folder") << "mkdir d; $P --batch d" << bad
                                  << "cannot read the batch file d: it is a folder"
                                  << "";
        QTest::newRow("resume from standard input")
            << "echo /u:x | $P --batch - --resume" << bad << "--resume .+ standard input has none"
            << "";
        QTest::newRow("a capture switch beside --batch")
            << "$P --batch - /p:a.png </dev/null" << bad << "/p:a.png is not an option .+"
            << "";
        QTest::newRow("lines from standard input")
            << "printf '/u:%s /p:in.png\\n' \"$SHORT\" | $P --batch - --jobs 1" << 0 << ""
            << "in.png";
        const int lineFailed = ToInt(ExitCode::LineFailed);
        QTest::newRow("a line without /u fails alone")
            << "printf '/p:n.png\\n/u:%s /p:in.png\\n' \"$SHORT\" | $P --batch - --jobs 1"
            << lineFailed << "line 1: the line has no /u:<address>"
            << "in.png";
        // the same line twice is one capture; another line writing that file fails unstarted
        QTest::newRow("two lines naming one file")
            << "for r in '' '' /r:1; do echo \"/u:$SHORT /p:a.png $r\"; done | $P --batch - --jobs "
               "1"
            << lineFailed << "line 3: line 1 writes a.png already; nothing captured"
            << "a.png";
        if (geteuid() == 0)
            QTest::newRow("as root, a line's /e:qt without the batch's --no-sandbox")
                << "printf '/u:%s /p:q.png /e:qt --no-sandbox\\n/u:%s /p:in.png\\n' \"$SHORT\" "
                   "\"$SHORT\" | $P --batch - --jobs 1"
                << lineFailed << "line 1: as root, Qt WebEngine .+ pass --no-sandbox .+"
                << "in.png";
    }
    void usage() {
        QFETCH(QString, shell);
        QFETCH(int, exitCode);
        QFETCH(QString, stderrPattern);
        QFETCH(QString, file);
        const ProgramSandbox sandbox;
        ProgramRunOptions options = Options({"-c", shell});
        options.program = QStringLiteral("/bin/sh");
        options.setVariables << qMakePair(QStringLiteral("P"), BuiltProgramPath())
                             << qMakePair(QStringLiteral("SHORT"), Expand("{short}"));
        const ProgramResult result = RunProgram(options, sandbox);
        VerifyEnded(result, exitCode);
        const QStringList lines = ProgramLines(result.standardError);
        QCOMPARE(CheckLines(lines, stderrPattern.isEmpty()
                                       ? QStringList()
                                       : QStringList{"vistrel-pro: " + stderrPattern}),
                 QString());
        if (!file.isEmpty())
            QCOMPARE(CheckSpot(sandbox.path(), file + "@0,0=teal"), QString());
        else
            QVERIFY(result.standardOutput.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBatchRun)
#include "tst_batch.moc"
