// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ProgramRunner.h"

#include "support/ProcessTree.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <unistd.h>

namespace {

QProcessEnvironment RunEnvironment(const ProgramRunOptions& options,
                                   const ProgramSandbox& sandbox) {
    QProcessEnvironment environment = sandbox.environment();
    if (!options.display) {
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    }
    for (const QString& name : options.removeVariables) {
        environment.remove(name);
    }
    for (const auto& [name, value] : options.setVariables) {
        environment.insert(name, value);
    }
    return environment;
}

// True when the process ended within the limit.
bool WaitWithinLimit(QProcess& process, int timeLimitMs) {
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    bool ended = false;
    QObject::connect(&process, &QProcess::finished, &loop, [&] {
        ended = true;
        loop.quit();
    });
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(timeLimitMs);
    if (process.state() != QProcess::NotRunning) {
        loop.exec();
    }
    return ended || process.state() == QProcess::NotRunning;
}

QStringList CollectLeftovers(pid_t leader, int graceMs) {
    const QDeadlineTimer grace(graceMs);
    QList<ProcessEntry> left = ProcessesLedBy(leader);
    while (!left.isEmpty() && !grace.hasExpired()) {
        QTest::qWait(50);
        left = ProcessesLedBy(leader);
    }
    KillProcesses(left);
    QStringList named;
    for (const ProcessEntry& process : left) {
        named << QStringLiteral("%1 %2").arg(process.pid).arg(process.name);
    }
    return named;
}

} // namespace

QString BuiltProgramPath() {
    return qEnvironmentVariable("VISTREL_BINARY_DIR") + QStringLiteral("/vistrel-pro");
}

namespace {

// As root the embedded engine has no sandbox and runs only with --no-sandbox; the runner adds
// it for the suite's engine, so the warning it brings is the runner's, not the test's.
const QByteArray QtNoSandboxWarning =
    "vistrel-pro: --no-sandbox: the sandbox of Qt WebEngine is off; pages run unconfined, with "
    "all the rights of this user\n";

bool NeedsNoSandbox(const QString& engine) {
    return engine == u"qt" && geteuid() == 0;
}

// VISTREL_TEST_ENGINE=qt runs every capture of the built program on that engine (/e:qt), so
// that one suite checks both engines; a run that names an engine keeps it, and a single
// argument (which starts the windows) stays single.
QStringList WithTestEngine(const QStringList& arguments) {
    const QString engine = qEnvironmentVariable("VISTREL_TEST_ENGINE");
    const auto named = [&arguments](const QString& prefix) {
        return std::any_of(arguments.begin(), arguments.end(), [&prefix](const QString& a) {
            return a.trimmed().startsWith(prefix, Qt::CaseInsensitive);
        });
    };
    const auto given = std::count_if(arguments.begin(), arguments.end(),
                                     [](const QString& a) { return !a.isEmpty(); });
    if (engine.isEmpty() || given < 2 || !named(QStringLiteral("/u")) ||
        named(QStringLiteral("/e")))
        return arguments;
    QStringList chosen = arguments + QStringList{QStringLiteral("/e:") + engine};
    if (NeedsNoSandbox(engine))
        chosen << QStringLiteral("--no-sandbox");
    return chosen;
}

} // namespace

ProgramResult RunProgram(const ProgramRunOptions& options, const ProgramSandbox& sandbox) {
    ProgramResult result;
    QProcess process;
    process.setProgram(options.program.isEmpty() ? BuiltProgramPath() : options.program);
    const QStringList arguments =
        options.program.isEmpty() ? WithTestEngine(options.arguments) : options.arguments;
    const bool addedNoSandbox = arguments.contains(QStringLiteral("--no-sandbox")) &&
                                !options.arguments.contains(QStringLiteral("--no-sandbox"));
    process.setArguments(arguments);
    process.setWorkingDirectory(options.workingDirectory.isEmpty() ? sandbox.path()
                                                                   : options.workingDirectory);
    process.setProcessEnvironment(RunEnvironment(options, sandbox));
    process.setStandardInputFile(QProcess::nullDevice());
    // A session of its own: whatever it starts can be found and killed by the session id.
    process.setChildProcessModifier([] { ::setsid(); });
    QElapsedTimer clock;
    clock.start();
    process.start();
    if (!process.waitForStarted()) {
        result.startError = process.errorString();
        return result;
    }
    result.started = true;
    const pid_t leader = pid_t(process.processId());
    result.pid = leader;
    QTimer signaller;
    if (options.signal != 0 && !options.signalWhenFile.isEmpty()) {
        const QString file = sandbox.filePath(options.signalWhenFile);
        QObject::connect(&signaller, &QTimer::timeout, [leader, &options, &signaller, file] {
            if (QFileInfo::exists(file)) {
                ::kill(leader, options.signal);
                signaller.stop();
            }
        });
        signaller.start(1);
    } else if (options.signal != 0) {
        signaller.setSingleShot(true);
        QObject::connect(&signaller, &QTimer::timeout,
                         [leader, &options] { ::kill(leader, options.signal); });
        signaller.start(options.signalAfterMs);
    }
    if (!WaitWithinLimit(process, options.timeLimitMs)) {
        result.timedOut = true;
        ::kill(-leader, SIGKILL);
        process.waitForFinished(10000);
    }
    result.elapsedMs = clock.elapsed();
    result.crashed = !result.timedOut && process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    result.standardOutput = process.readAllStandardOutput();
    result.standardError = process.readAllStandardError();
    if (addedNoSandbox)
        result.standardError.replace(QtNoSandboxWarning, QByteArray());
    result.leftovers = CollectLeftovers(leader, result.timedOut ? 1000 : options.leftoverGraceMs);
    return result;
}

ProgramResult RunProgram(const ProgramRunOptions& options) {
    const ProgramSandbox sandbox;
    if (!sandbox.isValid()) {
        ProgramResult result;
        result.startError = QStringLiteral("cannot make a temporary folder");
        return result;
    }
    return RunProgram(options, sandbox);
}
