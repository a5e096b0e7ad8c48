// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWebEngineSettings;

// Gives the page the generic font families a desktop Chromium picks on this system, so that a
// page lays out as wide and as tall as it does in a browser. Families fontconfig cannot find
// keep the engine's own choice.
void UseBrowserFonts(QWebEngineSettings* settings);
