#pragma once

#include "app/CommandLineCapture.h"

#include <QObject>

#include <memory>

class ChromiumProcess;
class QWebEngineProfile;

// One page of a batch run: a capture on a browser of its own, in a profile of its own that is
// kept in memory only, so that no line sees another line's cookies, storage or cache. Pages on
// Chromium share one browser process (started by the first, again after it ended); each has a
// browser context of its own.
class BatchPage : public QObject {
    Q_OBJECT

public:
    // Throws VistrelError when the page's engine cannot start.
    BatchPage(const CaptureJob& job, std::shared_ptr<ChromiumProcess>& chromium,
              QObject* parent = nullptr);
    ~BatchPage() override;

    CommandLineCapture& Capture() const { return *FCapture; }

private:
    // The profile outlives the page that uses it.
    std::unique_ptr<QWebEngineProfile> FProfile;
    std::unique_ptr<CommandLineCapture> FCapture;
};
