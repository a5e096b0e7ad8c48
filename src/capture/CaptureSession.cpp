// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/CaptureSession.h"

#include "capture/Browser.h"
#include "capture/EngineWait.h"
#include "capture/PageRenderer.h"
#include "capture/PageScript.h"
#include "common/VistrelError.h"

#include <new>

namespace {

// How soon a decision that found another engine wait under way is tried again.
constexpr int BusyRetryMs = 20;
// A meta refresh is followed when it comes within the load time limit (without one, within
// this), a few times at most; a refresh that does not come in its time plus this is given up.
constexpr int RefreshWithoutLimitMs = 10000;
constexpr int MostRefreshes = 5;
constexpr int RefreshGraceMs = 5000;

QString BlankPage() {
    return QStringLiteral("about:blank");
}

QString StoppedText() {
    return QStringLiteral("The capture was stopped");
}

} // namespace

CaptureSession::CaptureSession(Browser& browser, QObject* parent)
    : QObject(parent), FBrowser(browser) {
    FLimit.setSingleShot(true);
    connect(&FLimit, &QTimer::timeout, this, &CaptureSession::LimitPassed);
    FRefreshWait.setSingleShot(true);
    connect(&FRefreshWait, &QTimer::timeout, this, [this] {
        FRefreshes = MostRefreshes; // it never came: the page is taken as it is
        FComplete = true;
        Advance();
    });
    connect(&browser, &Browser::DocumentComplete, this, &CaptureSession::DocumentComplete);
    connect(&browser, &Browser::LoadFailed, this, &CaptureSession::LoadFailed);
    connect(&browser, &Browser::ProgressChange, this, [this](int progress, int maximum) {
        if (FState == State::Loading)
            emit LoadProgress(progress, maximum);
    });
}

void CaptureSession::Start(const CaptureJob& job) {
    FJob = job;
    FState = State::Loading;
    FComplete = FLimitPassed = FStopRequested = false;
    FRefreshes = 0;
    FLoadFailure.clear();
    // Sized once the navigation has begun: with Qt WebEngine 6.4 a view sized first left a page
    // that calls alert() on a 1 ms timer unable to answer any script.
    FBrowser.Navigate(job.address);
    if (job.browserSize.isValid())
        FBrowser.SetViewSize(job.browserSize);
    if (job.loadTimeLimitSeconds > 0)
        FLimit.start(LoadLimitMilliseconds(job.loadTimeLimitSeconds));
}

void CaptureSession::CaptureNow(const QSize& browserSize) {
    if (Running())
        return;
    FJob.address = FBrowser.LocationURL();
    FJob.loadTimeLimitSeconds = 0;
    if (browserSize.isValid())
        FBrowser.SetViewSize(browserSize);
    FState = State::Loading;
    FLimitPassed = FStopRequested = false;
    FRefreshes = MostRefreshes; // what the user sees is what is captured
    FLoadFailure.clear();
    FComplete = true;
    Advance();
}

void CaptureSession::Stop() {
    if (!Running())
        return;
    FStopRequested = true;
    Advance();
}

void CaptureSession::DocumentComplete() {
    if (FState != State::Loading)
        return;
    // the blank page that ended an earlier capture may finish after this one began
    if (FBrowser.LocationURL() == BlankPage() && FJob.address != BlankPage())
        return;
    FRefreshWait.stop();
    FComplete = true;
    Advance();
}

void CaptureSession::LoadFailed(const QString& reason) {
    if (FState != State::Loading)
        return; // a capture under way finds out for itself
    FLoadFailure = reason.isEmpty() ? QStringLiteral("the load failed") : reason;
    Advance();
}

void CaptureSession::LimitPassed() {
    FLimitPassed = true;
    Advance();
}

void CaptureSession::Advance() {
    if (FAdvancing || FState != State::Loading)
        return; // inside the loop below, which looks at the marks again when its call returns
    if (EngineWait::Busy()) {
        // someone else's engine call is under way: decide once it has returned
        QTimer::singleShot(BusyRetryMs, this, &CaptureSession::Advance);
        return;
    }
    FAdvancing = true;
    while (FState == State::Loading && Step()) {
    }
    FAdvancing = false;
    if (FState == State::Done)
        Report();
}

// Acts on what has happened so far; true when it should look again at once.
bool CaptureSession::Step() {
    if (FStopRequested)
        Fail(CaptureFailure::Stopped, StoppedText());
    else if (!FLoadFailure.isEmpty())
        Fail(CaptureFailure::LoadFailed,
             QStringLiteral("Could not load %1: %2").arg(FJob.address, FLoadFailure));
    else if (FComplete)
        CaptureUnlessRefreshed();
    else if (FLimitPassed)
        return CaptureAtLimit();
    return false;
}

// Held first: a page that reloads itself at once is captured as it stands, not while it is
// gone; one that sends itself elsewhere is let go there.
void CaptureSession::CaptureUnlessRefreshed() {
    try {
        FBrowser.HoldPage(true);
    } catch (const VistrelError&) {
        // the capture finds out for itself what is left of the page
    }
    if (!RefreshComing())
        Capture();
    FBrowser.HoldPage(false);
}

// A loaded page whose meta refresh sends it to another address soon is not the page to capture:
// the load goes on with the page it sends to.
bool CaptureSession::RefreshComing() {
    if (FRefreshes >= MostRefreshes || FRefreshWait.isActive())
        return FRefreshWait.isActive();
    QList<QVariant> refresh;
    try {
        refresh = FBrowser.RunScript(PageScript::MetaRefresh()).toList();
    } catch (const VistrelError&) {
        return false; // a page that answers nothing is captured as it is, or fails there
    }
    if (refresh.size() != 2 || FState != State::Loading)
        return false;
    const double delayMs = refresh.at(0).toDouble() * 1000;
    const double allowedMs = FLimit.isActive() ? FLimit.remainingTime() : RefreshWithoutLimitMs;
    if (delayMs > allowedMs)
        return false;
    ++FRefreshes;
    FComplete = false;
    FRefreshWait.start(int(delayMs) + RefreshGraceMs);
    return true;
}

// The time is up before the load ended: the page is captured as it stands if there is one.
bool CaptureSession::CaptureAtLimit() {
    bool document = false;
    QString error;
    try {
        document = FBrowser.HasDocument();
    } catch (const VistrelError& e) {
        error = e.message(); // a page busy for ever in its own script answers nothing
    }
    if (FComplete || !FLoadFailure.isEmpty() || FStopRequested)
        return true; // the load ended meanwhile: that decides
    if (!error.isEmpty())
        Fail(CaptureFailure::LoadFailed, QStringLiteral("%1 did not finish loading within %2: %3")
                                             .arg(FJob.address, LimitText(), error));
    else if (!document)
        Fail(CaptureFailure::LoadFailed,
             QStringLiteral("nothing of %1 arrived within %2").arg(FJob.address, LimitText()));
    else {
        emit Warning(
            QStringLiteral("warning: %1 did not finish loading within %2; captured as it stands")
                .arg(FJob.address, LimitText()));
        FBrowser.Stop();
        Capture();
    }
    return false;
}

QString CaptureSession::LimitText() const {
    return QStringLiteral("%1 s").arg(FJob.loadTimeLimitSeconds);
}

void CaptureSession::Capture() {
    FState = State::Capturing;
    FRefreshWait.stop();
    // What is left of the load time limit is what lazily loaded content may take.
    const QDeadlineTimer contentDeadline = FLimit.isActive()
                                               ? QDeadlineTimer(FLimit.remainingTime())
                                               : QDeadlineTimer(QDeadlineTimer::Forever);
    FLimit.stop(); // the capture's own engine calls have their own limits
    emit CaptureStarted();
    try {
        if (!FBrowser.HasDocument()) {
            Fail(CaptureFailure::NothingToCapture, QStringLiteral("There is no page to capture"));
            return;
        }
        PageRenderer renderer(FBrowser);
        renderer.SetProgress(
            [this](int done, int planned) { emit ScreensProgress(done, planned); });
        renderer.SetStopCheck([this] { return FStopRequested; });
        renderer.SetPictureWatcher(FWatcher);
        renderer.SetKeepFixed(FJob.keepFixedElements);
        renderer.SetContentDeadline(contentDeadline);
        FPicture = renderer.Render();
        FMessage.clear();
        FState = State::Done;
    } catch (const VistrelError& error) {
        if (FStopRequested)
            Fail(CaptureFailure::Stopped, StoppedText());
        else
            Fail(CaptureFailure::CaptureFailed, error.message());
    } catch (const std::bad_alloc&) {
        Fail(CaptureFailure::CaptureFailed,
             QStringLiteral("Not enough memory to capture the page"));
    }
}

void CaptureSession::Fail(CaptureFailure failure, const QString& message) {
    FLimit.stop();
    FState = State::Done;
    FFailure = failure;
    FMessage = message;
    FPicture = QImage();
    FBrowser.Stop();
}

// Last, once nothing of the run is on the stack: a receiver may start the next run.
void CaptureSession::Report() {
    FState = State::Idle;
    if (FMessage.isEmpty()) {
        const QImage picture = std::move(FPicture);
        FPicture = QImage();
        emit Captured(picture);
    } else {
        emit Failed(FFailure, FMessage);
    }
}
