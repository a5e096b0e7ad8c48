// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/HttpFixture.h"
#include "support/ProcessTree.h"
#include "support/ProgramRunner.h"

#include <QDir>
#include <QtTest>

namespace {

ProgramRunOptions Shell(const QString& script, int timeLimitMs = 20000) {
    ProgramRunOptions options;
    options.program = QStringLiteral("/bin/sh");
    options.arguments = {QStringLiteral("-c"), script};
    options.timeLimitMs = timeLimitMs;
    return options;
}

bool Alive(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray line = stat.readAll();
    const char state = line.at(line.lastIndexOf(')') + 2);
    return state != 'Z' && state != 'X';
}

} // namespace

class TestProgramRunner : public QObject {
    Q_OBJECT
private slots:
    void exitCodeAndStreams() {
        const ProgramResult result = RunProgram(Shell("echo out; echo err >&2; exit 3"));
        QVERIFY(result.started);
        QVERIFY(!result.timedOut);
        QVERIFY(!result.crashed);
        QCOMPARE(result.exitCode, 3);
        QVERIFY(result.exitedWith(3));
        QCOMPARE(result.standardOutput, QByteArray("out\n"));
        QCOMPARE(result.standardError, QByteArray("err\n"));
        QVERIFY(result.leftovers.isEmpty());
    }

    void sandboxEnvironment() {
        const ProgramSandbox sandbox;
        QVERIFY(sandbox.isValid());
        qputenv("DISPLAY", ":99");
        qputenv("VISTREL_RUNNER_GONE", "1");
        ProgramRunOptions options = Shell(
            "printf '%s|%s|%s|%s|%s|%s|%s' \"$XDG_CONFIG_HOME\" \"$XDG_DATA_HOME\" \"$TMPDIR\" "
            "\"${DISPLAY-none}\" \"${VISTREL_RUNNER_GONE-none}\" \"$EXTRA\" \"$(pwd)\"");
        options.display = false;
        options.removeVariables = {"VISTREL_RUNNER_GONE"};
        options.setVariables = {{"EXTRA", "given"}};
        const ProgramResult result = RunProgram(options, sandbox);
        qunsetenv("DISPLAY");
        qunsetenv("VISTREL_RUNNER_GONE");
        QVERIFY(result.exitedWith(0));
        const QStringList seen = QString::fromUtf8(result.standardOutput).split(u'|');
        QCOMPARE(seen, (QStringList{sandbox.configHome(), sandbox.dataHome(), sandbox.tempDir(),
                                    "none", "none", "given", sandbox.path()}));
        for (const QString& folder : {sandbox.configHome(), sandbox.dataHome(), sandbox.tempDir()})
            QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(!sandbox.path().startsWith(QDir::currentPath() + u'/'));
    }

    void failures_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("started");
        QTest::addColumn<bool>("crashed");
        QTest::newRow("missing program") << "/nonexistent/vistrel"
                                         << "" << false << false;
        QTest::newRow("crash") << "/bin/sh"
                               << "kill -SEGV $$" << true << true;
    }
    void failures() {
        QFETCH(QString, program);
        QFETCH(QString, script);
        ProgramRunOptions options = Shell(script);
        options.program = program;
        const ProgramResult result = RunProgram(options);
        QTEST(result.started, "started");
        QTEST(result.crashed, "crashed");
        QVERIFY(!result.exitedWith(0));
        QCOMPARE(result.startError.isEmpty(), result.started);
    }

    void timeLimitKillsTheWholeRun() {
        const ProgramResult result = RunProgram(Shell("sleep 30; echo never", 300));
        QVERIFY(result.started);
        QVERIFY(result.timedOut);
        QVERIFY(!result.exitedWith(0));
        QVERIFY2(result.elapsedMs < 10000, qPrintable(QString::number(result.elapsedMs)));
        QVERIFY(result.leftovers.isEmpty());
        QCOMPARE(result.standardOutput, QByteArray());
    }

    void leftoversAreFoundAndKilled_data() {
        QTest::addColumn<QString>("script");
        QTest::newRow("background child") << "sleep 30 >/dev/null 2>&1 & echo $!";
        QTest::newRow("child in its own group") << "set -m; sleep 30 >/dev/null 2>&1 & echo $!";
        QTest::newRow("child keeps stdout") << "sleep 30 & echo $!";
    }
    void leftoversAreFoundAndKilled() {
        QFETCH(QString, script);
        ProgramRunOptions options = Shell(script);
        options.leftoverGraceMs = 200;
        const ProgramResult result = RunProgram(options);
        QVERIFY(result.exitedWith(0));
        const pid_t child = pid_t(result.standardOutput.trimmed().toLongLong());
        QVERIFY(child > 1);
        QCOMPARE(result.leftovers, QStringList{QStringLiteral("%1 sleep").arg(child)});
        QTRY_VERIFY(!Alive(child));
    }

    void helpersGivenTimeToGo() {
        ProgramRunOptions options = Shell("(sleep 0.3) >/dev/null 2>&1 & exit 0");
        options.leftoverGraceMs = 5000;
        const ProgramResult result = RunProgram(options);
        QVERIFY(result.exitedWith(0));
        QVERIFY(result.leftovers.isEmpty());
    }

    void fixtureAnswersWhileWaiting() {
        HttpFixture fixture;
        QVERIFY(fixture.start());
        fixture.addPage("/ping", "pong", "text/plain");
        ProgramRunOptions options;
        options.program = QStringLiteral("/bin/bash");
        options.arguments = {
            "-c", QStringLiteral("exec 3<>/dev/tcp/127.0.0.1/%1; printf 'GET /ping HTTP/1.0\\r\\n"
                                 "\\r\\n' >&3; cat <&3")
                      .arg(fixture.port())};
        options.timeLimitMs = 20000;
        const ProgramResult result = RunProgram(options);
        QVERIFY(result.exitedWith(0));
        QVERIFY(result.standardOutput.startsWith("HTTP/1.1 200 OK\r\n"));
        QVERIFY(result.standardOutput.endsWith("\r\n\r\npong"));
        QCOMPARE(fixture.requestCount("/ping"), 1);
    }

    void builtProgramPath() {
        qputenv("VISTREL_BINARY_DIR", "/opt/build");
        QCOMPARE(BuiltProgramPath(), QStringLiteral("/opt/build/vistrel-pro"));
    }
};

QTEST_GUILESS_MAIN(TestProgramRunner)
#include "tst_programrunner.moc"
