// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/BrowserSizes.h"
#include "capture/CaptureControls.h"
#include "output/PictureOptions.h"

#include <QSize>
#include <QString>

#include <limits>

// The address a new capture starts from when none is given.
inline QString DefaultStartAddress() {
    return QStringLiteral("https://www.wikipedia.org/");
}

enum class BrowserEngine {
    Default,  // the engine the program picks for the run: Chromium out of sight
    Qt,       // Qt WebEngine, the engine of the visible browser window: fast, for trusted pages
    Chromium, // headless Chromium over the DevTools protocol, sandboxed and kept current
};

// Out of sight, pages are captured on Chromium unless Qt WebEngine is asked for.
inline bool CapturesOnChromium(BrowserEngine engine) {
    return engine != BrowserEngine::Qt;
}

// Timers take an int of milliseconds: larger limits are held at the largest one.
constexpr int LoadLimitMilliseconds(int seconds) {
    constexpr int most = std::numeric_limits<int>::max();
    if (seconds <= 0)
        return 0;
    return seconds > most / 1000 ? most : seconds * 1000;
}

// One capture with everything it needs, free of any window: the wizard, the command line and
// batch runs each build one and hand it to a CaptureSession.
struct CaptureJob {
    QString address;
    QSize browserSize = BrowserSizeOf(DefaultResolutionChoice);
    PictureOptions picture;
    // Empty when that file is not asked for.
    QString pictureFile;
    QString thumbnailFile;
    bool makeThumbnail = false;
    // After this many seconds the page is captured as it stands, or the load fails when nothing
    // of it arrived; 0 waits for ever.
    int loadTimeLimitSeconds = 0;
    BrowserEngine engine = BrowserEngine::Default;
    // Chromium without its sandbox: only when the user asks for it by name.
    bool sandboxOff = false;
    // Every screen as it looks there, instead of fixed and sticky elements once.
    bool keepFixedElements = false;
    CaptureControls controls;
};
