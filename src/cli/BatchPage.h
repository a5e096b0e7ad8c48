// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/CommandLineCapture.h"

#include <QObject>

#include <memory>

class ChromiumProcess;
class QWebEngineProfile;

// One page of a batch run: a capture on a browser of its own, in a profile of its own that is
// kept in memory only, so that no line sees another line's cookies, storage or cache. Pages on
// Chromium share one browser process (started by the first, again after it ended), each in a
// browser context of its own. The pages of a run are captured at the same time as coroutines on
// the main thread: each awaits its engine's answers while the others go on.
class BatchPage : public QObject {
    Q_OBJECT

public:
    // Throws VistrelError when the page's engine cannot start.
    BatchPage(const CaptureJob& job, std::shared_ptr<ChromiumProcess>& chromium,
              QObject* parent = nullptr);
    ~BatchPage() override;

    const CaptureJob& Job() const { return FJob; }
    void Start();
    // Ends the capture part way; it still reports Finished, with a failure.
    void Stop();

signals:
    void Finished(const CaptureOutcome& outcome);

private:
    CaptureJob FJob;
    std::shared_ptr<ChromiumProcess> FChromium;
    // The profile outlives the page that uses it.
    std::unique_ptr<QWebEngineProfile> FProfile;
    std::unique_ptr<CommandLineCapture> FCapture;
};
