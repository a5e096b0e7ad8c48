// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/CommandLineCapture.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

class ChromiumProcess;
class QThread;
class QWebEngineProfile;

// One page of a batch run: a capture on a browser of its own, in a profile of its own that is
// kept in memory only, so that no line sees another line's cookies, storage or cache. Pages on
// Chromium share one browser process (started by the first, again after it ended); each has a
// browser context of its own and is captured on a thread of its own, so that the pages of a run
// take their screenshots at the same time (captures on one thread wait for the engine in turn).
// Pages on Qt WebEngine are captured on the main thread, where that engine lives.
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
    void MakeCapture(std::unique_ptr<Browser> browser);
    void InCapturesThread(std::function<void()> work);
    void AwaitFinished();
    void EndThread();

    CaptureJob FJob;
    std::shared_ptr<ChromiumProcess> FChromium; // the last reference is let go here, on this thread
    // The profile outlives the page that uses it.
    std::unique_ptr<QWebEngineProfile> FProfile;
    std::unique_ptr<CommandLineCapture> FCapture;
    QThread* FThread = nullptr;
    QObject* FInThread = nullptr; // where work for the capture's thread is sent
    bool FStarted = false;
    // Shared with what the capture's thread runs, which may outlive this page.
    std::shared_ptr<std::atomic<bool>> FFinished = std::make_shared<std::atomic<bool>>(false);
};
