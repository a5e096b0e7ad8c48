#include "capture/EngineSetup.h"

#include <QByteArray>
#include <QtGlobal>

#include <unistd.h>

void PrepareBrowserEngine() {
    // Chromium's sandbox cannot start as root; everyone else keeps it.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The picture holds the page's own colours, whatever the screen's colour profile.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--force-color-profile")) {
        flags += flags.isEmpty() ? "" : " ";
        flags += "--force-color-profile=srgb";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    }
}
