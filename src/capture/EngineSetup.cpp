#include "capture/EngineSetup.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QtGlobal>

#include <unistd.h>

void PrepareBrowserEngine() {
    // The engine shares its GL contexts with the widgets; it must be told before the
    // application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Chromium's sandbox cannot start as root; everyone else keeps it.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The engine reports its GL set-up at length on every start; nobody here needs it.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES",
                "qt.webenginecontext.info=false;qt.webenginecontext.debug=false");
    // The picture holds the page's own colours, whatever the screen's colour profile.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--force-color-profile")) {
        flags += flags.isEmpty() ? "" : " ";
        flags += "--force-color-profile=srgb";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    }
}
