// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/EngineControls.h"

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
