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

// Qt WebEngine 6.4 has no per-page device scale or media emulation.
QStringList ControlsTheEngineRefuses(const CaptureJob& job) {
    if (CapturesOnChromium(job.engine))
        return {};
    const CaptureControls& controls = job.controls;
    QStringList refused;
    if (controls.scale != 1)
        refused << QStringLiteral("--scale");
    if (controls.colorScheme != ColorScheme::PageDefault)
        refused << QStringLiteral("--color-scheme");
    if (controls.reducedMotion)
        refused << QStringLiteral("--reduced-motion");
    QStringList messages;
    for (const QString& option : refused)
        messages << QStringLiteral("%1 is not available on Qt WebEngine (/e:qt); capture with "
                                   "/e:chromium")
                        .arg(option);
    return messages;
}
