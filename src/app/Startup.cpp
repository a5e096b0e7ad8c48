#include "app/Startup.h"

#include "app/ExitCodes.h"
#include "app/Main.h"
#include "app/TApplication.h"
#include "app/Usage.h"
#include "capture/EngineSetup.h"
#include "capture/ViewPic.h"
#include "capture/snap.h"

#include <QFont>
#include <cstdio>
#include <cstring>

namespace {

bool DisplayAvailable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// --help and --version as the only argument print and end the run.
bool HandleInformationSwitch(int argc, char** argv, int& status) {
    if (argc != 2) {
        return false;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(qPrintable(UsageText()), stdout);
    } else if (std::strcmp(argv[1], "--version") == 0) {
        std::fputs(qPrintable(VersionText() + QLatin1Char('\n')), stdout);
    } else {
        return false;
    }
    status = 0;
    return true;
}

} // namespace

int RunVistrelPro(int argc, char** argv) {
    int status = 0;
    if (HandleInformationSwitch(argc, argv, status)) {
        return status;
    }
    if (!DisplayAvailable()) {
        if (argc < 3) {
            std::fputs("vistrel-pro: no display (DISPLAY and WAYLAND_DISPLAY are unset); the "
                       "windows need one. Unattended captures run without: see --help.\n",
                       stderr);
            return ToInt(ExitCode::NoDisplay);
        }
        // An unattended run needs no screen.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Two or more arguments make an unattended run: nobody browses, so frames come as fast as
    // the engine makes them.
    PrepareBrowserEngine(argc >= 3 ? EngineUse::Unattended : EngineUse::Interactive);
    TApplication application(argc, argv);
    // The main window's close handler ends the run, with the run's exit status.
    QApplication::setQuitOnLastWindowClosed(false);
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(12);
    QApplication::setFont(font);

    auto* mainForm = new TMainForm;
    auto* snapForm = new TSnapForm;
    auto* viewForm = new TViewForm;
    mainForm->show();
    status = QApplication::exec();
    if (mainForm->isVisible()) {
        mainForm->close();
    }
    delete viewForm;
    delete snapForm;
    delete mainForm;
    return status;
}
