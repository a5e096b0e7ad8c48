// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The Chromium version of Qt WebEngine, the engine of the window's browser, read afresh on
// every call.
QString ReadBrowserVersion();
// The version of the headless Chromium of out-of-sight captures; empty while it is not
// installed. Once found it is kept for the rest of the run (finding it starts the browser).
QString ReadHeadlessChromiumVersion();
// The headless Chromium's version as shown, or that it is not installed and which package
// brings it.
QString HeadlessChromiumVersionText(const QString& notInstalled);
// Both engines, one line each, for --version.
QString EngineVersionLines();
