// SPDX-License-Identifier: GPL-3.0-or-later
#include "Startup.h"

#include "capture/EngineSetup.h"
#include "cli/BatchOptions.h"
#include "cli/BatchRun.h"
#include "cli/CommandLineMode.h"
#include "cli/CommandLineRun.h"
#include "cli/CommandLineSwitch.h"
#include "cli/ExitCodes.h"
#include "cli/Usage.h"
#include "common/TerminationSignals.h"
#include "engines/BrowserVersion.h"
#include "gui/Application.h"
#include "gui/BrowserWindow.h"
#include "gui/MainWindow.h"
#include "gui/PictureViewer.h"
#include "output/WorkingPicture.h"

#include <QFile>
#include <QFont>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {

bool DisplayAvailable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

QStringList ProgramArguments(int argc, char** argv) {
    QStringList argvList;
    for (int i = 0; i < argc; ++i)
        argvList << QString::fromLocal8Bit(argv[i]);
    return WithoutEmptyArguments(argvList);
}

// The engine and Qt talk about themselves on start-up; a run that went well says nothing.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "vistrel-pro: %s\n", qPrintable(message));
        std::abort();
    }
}

void PrintLine(const QString& text) {
    std::fprintf(stderr, "vistrel-pro: %s\n", qPrintable(text));
    std::fflush(stderr);
}

void SetApplicationFont() {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(12);
    QApplication::setFont(font);
}

// The guard is made before the run and outlives it: taking the run down (the browser ended,
// its profile removed) is part of the run, and a signal then must not kill it half way.
int RunUnattended(int argc, char** argv, const QStringList& arguments, bool verbose) {
    Application application(argc, argv);
    TerminationSignals termination;
    CommandLineRun run(arguments, verbose);
    QObject::connect(&termination, &TerminationSignals::Received, &run, &CommandLineRun::Interrupt);
    QTimer::singleShot(0, &run, &CommandLineRun::Start);
    return QApplication::exec();
}

int RunBatch(int argc, char** argv, const BatchOptions& options) {
    Application application(argc, argv);
    // Between two pages no window is left: that ends nothing here.
    QApplication::setQuitOnLastWindowClosed(false);
    TerminationSignals termination;
    BatchRun run(options);
    QObject::connect(&termination, &TerminationSignals::Received, &run, &BatchRun::Interrupt);
    QTimer::singleShot(0, &run, &BatchRun::Start);
    return QApplication::exec();
}

// A signal that came while the run was taken down ends it as one during the run does, unless
// the run had already ended by a signal and said so.
int StatusAfterShutdown(int status) {
    const int late = TerminationSignals::Undelivered();
    if (late == 0 || status >= 128)
        return status;
    PrintLine(TerminationSignals::Description(late));
    return TerminationSignals::ExitStatusFor(late);
}

// Runs without windows, as every unattended run does.
void PrepareUnattended(bool verbose) {
    if (!DisplayAvailable())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PrepareBrowserEngine(EngineUse::Unattended, verbose);
    if (!verbose)
        qInstallMessageHandler(QuietMessages);
}

int StartBatch(int argc, char** argv, const QStringList& arguments, bool verbose, bool sandboxOff) {
    BatchOptionsRead read = ReadBatchOptions(arguments);
    if (!read.error.isEmpty()) {
        PrintLine(read.error + QStringLiteral(" (see --help)"));
        return ToInt(ExitCode::BadUsage);
    }
    read.options.sandboxOff = sandboxOff;
    if (sandboxOff)
        PrintLine(
            NoSandboxWarning(QStringLiteral("Chromium (and of Qt WebEngine on /e:qt lines)")));
    PrepareUnattended(verbose);
    return StatusAfterShutdown(RunBatch(argc, argv, read.options));
}

int RunWindows(int argc, char** argv) {
    Application application(argc, argv);
    // The main window's close handler ends the run, with the run's exit status.
    QApplication::setQuitOnLastWindowClosed(false);
    SetApplicationFont();
    auto* mainForm = new MainWindow;
    auto* snapForm = new BrowserWindow;
    auto* viewForm = new PictureViewer;
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::Received, mainForm, [mainForm](int signal) {
        QFile::remove(WorkingPicturePath(mainForm->FWorkingPictureName));
        PrintLine(TerminationSignals::Description(signal));
        QCoreApplication::exit(TerminationSignals::ExitStatusFor(signal));
    });
    mainForm->show();
    const int status = QApplication::exec();
    if (mainForm->isVisible())
        mainForm->close();
    delete viewForm;
    delete snapForm;
    delete mainForm;
    return status;
}

} // namespace

int RunVistrelPro(int argc, char** argv) {
    QStringList arguments = ProgramArguments(argc, argv);
    const bool verbose = TakeVerboseSwitch(arguments);
    const bool sandboxOff = TakeNoSandboxSwitch(arguments);
    if (IsBatchRun(arguments.mid(1)))
        return StartBatch(argc, argv, arguments.mid(1), verbose, sandboxOff);
    const StartMode mode = StartModeFor(arguments);
    if (mode == StartMode::Help) {
        std::fputs(qPrintable(UsageText()), stdout);
        return 0;
    }
    if (mode == StartMode::Version) {
        std::fputs(qPrintable(VersionText() + QLatin1Char('\n') + EngineVersionLines() +
                              QLatin1Char('\n')),
                   stdout);
        return 0;
    }
    const bool unattended = mode == StartMode::Unattended;
    if (!DisplayAvailable()) {
        if (!unattended) {
            std::fputs("vistrel-pro: no display (DISPLAY and WAYLAND_DISPLAY are unset); the "
                       "windows need one. Unattended captures run without: see --help.\n",
                       stderr);
            return ToInt(ExitCode::NoDisplay);
        }
        qputenv("QT_QPA_PLATFORM", "offscreen"); // an unattended run needs no screen
    }
    // Nobody browses in an unattended run, so frames come as fast as the engine makes them.
    PrepareBrowserEngine(unattended ? EngineUse::Unattended : EngineUse::Interactive, verbose);
    if (!verbose)
        qInstallMessageHandler(QuietMessages);
    if (!unattended) {
        if (sandboxOff)
            PrintLine(QStringLiteral("--no-sandbox is for command-line captures; the windows keep "
                                     "the browser's sandbox on"));
        if (geteuid() == 0)
            PrintLine(QStringLiteral("warning: run as root, the browser window (Qt WebEngine) "
                                     "shows pages without a sandbox"));
        return StatusAfterShutdown(RunWindows(argc, argv));
    }
    QStringList runArguments = arguments.mid(1);
    // The job reads it among the switches; it was kept out only while the run was counted.
    if (sandboxOff)
        runArguments.prepend(QStringView(NoSandboxOption).toString()); // no option's value
    return StatusAfterShutdown(RunUnattended(argc, argv, runArguments, verbose));
}
