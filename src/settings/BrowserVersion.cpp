#include "settings/BrowserVersion.h"

#include <QtWebEngineCore/qtwebenginecoreglobal.h>

QString ReadBrowserVersion() {
    return QString::fromLatin1(qWebEngineChromiumVersion());
}
