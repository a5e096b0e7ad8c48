// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchPage.h"

#include "capture/Browser.h"
#include "engines/CaptureBrowser.h"
#include "engines/chromium/ChromiumProcess.h"

#include <QWebEngineProfile>

BatchPage::BatchPage(const CaptureJob& job, std::shared_ptr<ChromiumProcess>& chromium,
                     QObject* parent)
    : QObject(parent), FJob(job) {
    if (CapturesOnChromium(job.engine)) {
        if (!chromium || !chromium->Running())
            chromium = std::make_shared<ChromiumProcess>(ChromiumProcess::Options{job.sandboxOff});
        FChromium = chromium;
    } else {
        FProfile = std::make_unique<QWebEngineProfile>();
    }
    FCapture = std::make_unique<CommandLineCapture>(
        FJob, NewCaptureBrowser(FJob, FChromium, FProfile.get()));
    connect(FCapture.get(), &CommandLineCapture::Finished, this, &BatchPage::Finished);
}

// A page still capturing is taken down where it waits: it is never resumed.
BatchPage::~BatchPage() {
    FCapture.reset();
    FProfile.reset();
}

void BatchPage::Start() {
    FCapture->Start();
}

void BatchPage::Stop() {
    FCapture->Stop();
}
