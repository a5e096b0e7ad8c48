// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The fonts a desktop Chromium uses on this system, as fontconfig resolves them: its generic
// families and its hinting. A family fontconfig cannot find is empty (the engine keeps its own).
struct DesktopFontFamilies {
    QString standard; // also serif
    QString sansSerif;
    QString fixed;
    QString cursive;
    QString fantasy;
};

// Asked once, so that every page of a run lays out alike even if fonts come and go.
const DesktopFontFamilies& DesktopFamilies();

// "none", "slight", "medium" or "full": the hinting fontconfig gives an unnamed font. The
// headless shell hints web fonts fully by default, which rounds their advances to whole pixels.
QString DesktopFontHinting();
