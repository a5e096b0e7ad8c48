// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/CaptureBrowser.h"

#include "capture/ChromiumBrowser.h"
#include "capture/WebEngineBrowser.h"

std::unique_ptr<Browser> NewCaptureBrowser(const CaptureJob& job,
                                           std::shared_ptr<ChromiumProcess> chromium) {
    if (!CapturesOnChromium(job.engine))
        return std::make_unique<WebEngineBrowser>();
    if (chromium)
        return std::make_unique<ChromiumBrowser>(std::move(chromium));
    // A browser of its own is started before the load's time limit begins to run.
    auto browser = std::make_unique<ChromiumBrowser>(
        std::make_shared<ChromiumProcess>(ChromiumProcess::Options{job.sandboxOff}));
    browser->AwaitPage();
    return browser;
}
