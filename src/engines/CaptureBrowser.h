// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/CaptureJob.h"

#include <memory>

class Browser;
class ChromiumProcess;
class QWebEngineProfile;

// The browser a capture out of sight runs on, as its job chose. Chromium pages may share one
// browser process (a batch run); each has its own cookies and storage. Its page is made
// meanwhile: `Browser::AwaitReady` says when it is there. Qt WebEngine pages sit in a host of their
// own out of sight, in `profile` when given. Throws VistrelError, with a one-line reason, when the
// engine cannot start.
std::unique_ptr<Browser> NewCaptureBrowser(const CaptureJob& job,
                                           std::shared_ptr<ChromiumProcess> chromium = nullptr,
                                           QWebEngineProfile* profile = nullptr);
