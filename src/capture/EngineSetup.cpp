#include "capture/EngineSetup.h"

#include <QByteArray>
#include <QtGlobal>

#include <unistd.h>

void PrepareBrowserEngine() {
    // Chromium's sandbox cannot start as root; everyone else keeps it.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}
