// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/CaptureBrowser.h"

#include "engines/chromium/ChromiumBrowser.h"
#include "engines/webengine/OffscreenWebEngineBrowser.h"

std::unique_ptr<Browser> NewCaptureBrowser(const CaptureJob& job,
                                           std::shared_ptr<ChromiumProcess> chromium,
                                           QWebEngineProfile* profile) {
    if (!CapturesOnChromium(job.engine))
        return std::make_unique<OffscreenWebEngineBrowser>(job.browserSize, profile);
    if (!chromium)
        chromium = std::make_shared<ChromiumProcess>(ChromiumProcess::Options{job.sandboxOff});
    return std::make_unique<ChromiumBrowser>(std::move(chromium));
}
