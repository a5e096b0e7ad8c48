#include "app/BatchPage.h"

#include "capture/WebEngineBrowser.h"

#include <QWebEngineProfile>

BatchPage::BatchPage(const CaptureJob& job, QObject* parent)
    : QObject(parent), FProfile(std::make_unique<QWebEngineProfile>()) {
    FCapture = std::make_unique<CommandLineCapture>(
        job, std::make_unique<WebEngineBrowser>(nullptr, FProfile.get()));
}

BatchPage::~BatchPage() {
    FCapture.reset();
    FProfile.reset();
}
