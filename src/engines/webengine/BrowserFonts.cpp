// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/webengine/BrowserFonts.h"

#include "capture/DesktopFonts.h"

#include <QString>
#include <QWebEngineSettings>

namespace {

void Use(QWebEngineSettings* settings, QWebEngineSettings::FontFamily which,
         const QString& family) {
    if (!family.isEmpty())
        settings->setFontFamily(which, family);
}

} // namespace

void UseBrowserFonts(QWebEngineSettings* settings) {
    const DesktopFontFamilies& families = DesktopFamilies();
    Use(settings, QWebEngineSettings::StandardFont, families.standard);
    Use(settings, QWebEngineSettings::SerifFont, families.standard);
    Use(settings, QWebEngineSettings::SansSerifFont, families.sansSerif);
    Use(settings, QWebEngineSettings::FixedFont, families.fixed);
    Use(settings, QWebEngineSettings::CursiveFont, families.cursive);
    Use(settings, QWebEngineSettings::FantasyFont, families.fantasy);
}
