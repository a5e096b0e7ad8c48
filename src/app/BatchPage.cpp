#include "app/BatchPage.h"

#include "capture/CaptureBrowser.h"
#include "capture/ChromiumProcess.h"
#include "capture/WebEngineBrowser.h"

#include <QWebEngineProfile>

BatchPage::BatchPage(const CaptureJob& job, std::shared_ptr<ChromiumProcess>& chromium,
                     QObject* parent)
    : QObject(parent) {
    std::unique_ptr<Browser> browser;
    if (CapturesOnChromium(job.engine)) {
        if (!chromium || !chromium->Running())
            chromium = std::make_shared<ChromiumProcess>(ChromiumProcess::Options{job.sandboxOff});
        browser = NewCaptureBrowser(job, chromium);
    } else {
        FProfile = std::make_unique<QWebEngineProfile>();
        browser = std::make_unique<WebEngineBrowser>(nullptr, FProfile.get());
    }
    FCapture = std::make_unique<CommandLineCapture>(job, std::move(browser));
}

BatchPage::~BatchPage() {
    FCapture.reset();
    FProfile.reset();
}
