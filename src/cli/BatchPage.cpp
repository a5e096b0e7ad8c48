// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchPage.h"

#include "capture/Browser.h"
#include "common/VistrelError.h"
#include "engines/CaptureBrowser.h"
#include "engines/chromium/ChromiumProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QThread>
#include <QWebEngineProfile>

namespace {

// A stopped capture ends within its engine's time limits; this only keeps a hung one from
// holding the run's end for ever.
constexpr int StopLimitMs = 60000;

} // namespace

BatchPage::BatchPage(const CaptureJob& job, std::shared_ptr<ChromiumProcess>& chromium,
                     QObject* parent)
    : QObject(parent), FJob(job) {
    if (!CapturesOnChromium(job.engine)) {
        FProfile = std::make_unique<QWebEngineProfile>();
        MakeCapture(NewCaptureBrowser(job, nullptr, FProfile.get()));
        return;
    }
    if (!chromium || !chromium->Running())
        chromium = std::make_shared<ChromiumProcess>(ChromiumProcess::Options{job.sandboxOff});
    FChromium = chromium;
    FThread = new QThread(this);
    FInThread = new QObject;
    FInThread->moveToThread(FThread);
    FThread->start();
    QString failure;
    InCapturesThread([this, &failure] {
        try {
            MakeCapture(NewCaptureBrowser(FJob, FChromium));
        } catch (const VistrelError& error) {
            failure = error.message();
        }
    });
    if (!failure.isEmpty()) {
        EndThread(); // the destructor does not run
        throw VistrelError(failure);
    }
}

BatchPage::~BatchPage() {
    if (FThread) {
        AwaitFinished();
        if (!*FFinished) {
            // hung beyond every time limit of its engine: left to the process's end, rather
            // than pulled from under its own wait
            FThread->setParent(nullptr);
            (void)FCapture.release();
            return;
        }
        InCapturesThread([this] { FCapture.reset(); });
        EndThread();
    }
    FCapture.reset();
    FProfile.reset();
}

void BatchPage::EndThread() {
    FThread->quit();
    FThread->wait();
    delete FInThread;
    FInThread = nullptr;
}

void BatchPage::Start() {
    FStarted = true;
    if (!FThread)
        FCapture->Start();
    else
        QMetaObject::invokeMethod(
            FInThread, [capture = FCapture.get()] { capture->Start(); }, Qt::QueuedConnection);
}

void BatchPage::Stop() {
    if (!FThread)
        FCapture->Stop();
    else
        QMetaObject::invokeMethod(
            FInThread, [capture = FCapture.get()] { capture->Stop(); }, Qt::QueuedConnection);
}

// Made on the thread it runs on, so that its timers and engine answers come there. What runs
// there never touches this page itself: a capture hung beyond every limit outlives it.
void BatchPage::MakeCapture(std::unique_ptr<Browser> browser) {
    FCapture = std::make_unique<CommandLineCapture>(FJob, std::move(browser));
    const QPointer<BatchPage> page(this);
    connect(FCapture.get(), &CommandLineCapture::Finished, FCapture.get(),
            [finished = FFinished, page](const CaptureOutcome& outcome) {
                *finished = true;
                // the run hears of it on its own thread, once this capture's signal has returned
                QMetaObject::invokeMethod(
                    qApp,
                    [page, outcome] {
                        if (page)
                            emit page->Finished(outcome);
                    },
                    Qt::QueuedConnection);
            });
}

void BatchPage::InCapturesThread(std::function<void()> work) {
    QMetaObject::invokeMethod(FInThread, std::move(work), Qt::BlockingQueuedConnection);
}

// The capture's thread needs this one meanwhile: the browser's answers are read here.
void BatchPage::AwaitFinished() {
    if (*FFinished || !FStarted)
        return;
    Stop();
    const QDeadlineTimer limit(StopLimitMs);
    while (!*FFinished && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
}
