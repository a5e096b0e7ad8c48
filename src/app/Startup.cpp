#include "app/Startup.h"

#include "app/BatchOptions.h"
#include "app/BatchRun.h"
#include "app/CommandLineMode.h"
#include "app/CommandLineRun.h"
#include "app/CommandLineSplit.h"
#include "app/ExitCodes.h"
#include "app/Main.h"
#include "app/TApplication.h"
#include "app/Usage.h"
#include "capture/EngineSetup.h"
#include "capture/ViewPic.h"
#include "capture/snap.h"
#include "common/TerminationSignals.h"
#include "output/WorkingPicture.h"
#include "settings/BrowserVersion.h"

#include <QFile>
#include <QFont>
#include <QTimer>
#include <cstdio>

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
    return ParseCommandLine(argvList);
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

int RunUnattended(int argc, char** argv, const QStringList& arguments, bool verbose) {
    TApplication application(argc, argv);
    CommandLineRun run(arguments, verbose);
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::Received, &run, &CommandLineRun::Interrupt);
    QTimer::singleShot(0, &run, &CommandLineRun::Start);
    return QApplication::exec();
}

int RunBatch(int argc, char** argv, const BatchOptions& options) {
    TApplication application(argc, argv);
    // Between two pages no window is left: that ends nothing here.
    QApplication::setQuitOnLastWindowClosed(false);
    BatchRun run(options);
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::Received, &run, &BatchRun::Interrupt);
    QTimer::singleShot(0, &run, &BatchRun::Start);
    return QApplication::exec();
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
        PrintLine(NoSandboxWarning());
    PrepareUnattended(verbose);
    return RunBatch(argc, argv, read.options);
}

int RunWindows(int argc, char** argv) {
    TApplication application(argc, argv);
    // The main window's close handler ends the run, with the run's exit status.
    QApplication::setQuitOnLastWindowClosed(false);
    SetApplicationFont();
    auto* mainForm = new TMainForm;
    auto* snapForm = new TSnapForm;
    auto* viewForm = new TViewForm;
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::Received, mainForm, [mainForm](int signal) {
        QFile::remove(WorkingPicturePath(mainForm->FTempName));
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
    if (!unattended) {
        if (sandboxOff)
            PrintLine(QStringLiteral("--no-sandbox is for command-line captures; the windows keep "
                                     "the browser's sandbox on"));
        return RunWindows(argc, argv);
    }
    if (!verbose)
        qInstallMessageHandler(QuietMessages);
    QStringList runArguments = arguments.mid(1);
    if (sandboxOff) {
        PrintLine(NoSandboxWarning());
        // The job reads it among the switches; it was kept out only while the run was counted.
        runArguments << QStringView(NoSandboxOption).toString();
    }
    return RunUnattended(argc, argv, runArguments, verbose);
}
