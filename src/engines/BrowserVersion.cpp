// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/BrowserVersion.h"

#include "engines/chromium/ChromiumProcess.h"

#include <QtWebEngineCore/qtwebenginecoreglobal.h>
#include <QtWebEngineCore/qtwebenginecoreversion.h>

QString ReadBrowserVersion() {
    return QString::fromLatin1(qWebEngineChromiumVersion());
}

QString ReadHeadlessChromiumVersion() {
    static QString found;
    if (found.isEmpty())
        found = ChromiumProcess::Version();
    return found;
}

QString HeadlessChromiumVersionText(const QString& notInstalled) {
    const QString version = ReadHeadlessChromiumVersion();
    return version.isEmpty() ? notInstalled + QStringLiteral(" (chromium-headless-shell)")
                             : version;
}

QString EngineVersionLines() {
    const QString headless = ReadHeadlessChromiumVersion();
    return QStringLiteral("Qt WebEngine " QTWEBENGINECORE_VERSION_STR " (Chromium %1)\n")
               .arg(ReadBrowserVersion()) +
           (headless.isEmpty()
                ? QStringLiteral("Chromium: not installed (chromium-headless-shell)")
                : QStringLiteral("Chromium %1 (chromium-headless-shell)").arg(headless));
}
