// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/CaptureSession.h"

#include "capture/Browser.h"
#include "capture/ControlScript.h"
#include "capture/EngineWait.h"
#include "capture/PageRenderer.h"
#include "capture/PageScript.h"
#include "common/VistrelError.h"

#include <limits>
#include <new>

namespace {

// A meta refresh is followed when it comes within the load time limit (without one, within
// this), a few times at most; a refresh that does not come in its time plus this is given up.
constexpr int RefreshWithoutLimitMs = 10000;
constexpr int MostRefreshes = 5;
constexpr int RefreshGraceMs = 5000;
constexpr int WaitPollMs = 100;

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
    connect(&FLimit, &QTimer::timeout, this, [this] {
        FLimitPassed = true;
        Wake();
    });
    FRefreshWait.setSingleShot(true);
    connect(&FRefreshWait, &QTimer::timeout, this, [this] {
        FRefreshes = MostRefreshes; // it never came: the page is taken as it is
        FComplete = true;
        Wake();
    });
    connect(&browser, &Browser::DocumentComplete, this, &CaptureSession::DocumentComplete);
    connect(&browser, &Browser::LoadFailed, this, &CaptureSession::LoadFailed);
    connect(&browser, &Browser::ProgressChange, this, [this](int progress, int maximum) {
        if (FState == State::Loading)
            emit LoadProgress(progress, maximum);
    });
}

// A run under way is never resumed into a session that is gone.
CaptureSession::~CaptureSession() {
    if (FState != State::Idle)
        FBrowser.Calls().OrphanAll();
}

void CaptureSession::Start(const CaptureJob& job) {
    if (FState != State::Idle)
        return;
    FJob = job;
    FState = State::Loading;
    FComplete = FLimitPassed = FStopRequested = false;
    FRefreshes = 0;
    FLoadFailure.clear();
    FFacts = {};
    FBrowser.SetControls(job.controls);
    // Sized once the navigation has begun: with Qt WebEngine 6.4 a view sized first left a page
    // that calls alert() on a 1 ms timer unable to answer any script.
    FBrowser.Navigate(job.address);
    if (job.browserSize.isValid())
        FBrowser.SetViewSize(job.browserSize);
    FRun.emplace(Load());
}

// A browser of its own is started before the load's time limit begins to run.
QCoro::Task<> CaptureSession::Load() {
    try {
        co_await FBrowser.AwaitReady();
    } catch (const VistrelError& error) {
        if (FLoadFailure.isEmpty())
            FLoadFailure = error.message();
    }
    if (FJob.loadTimeLimitSeconds > 0 && FState == State::Loading)
        FLimit.start(LoadLimitMilliseconds(FJob.loadTimeLimitSeconds));
    co_await Run();
}

void CaptureSession::CaptureNow(const QSize& browserSize) {
    if (FState != State::Idle)
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
    FRun.emplace(Run());
}

// What the run awaits now ends at once; the run then sees the stop.
void CaptureSession::Stop() {
    if (!Running() || FStopRequested)
        return;
    FStopRequested = true;
    if (FWake)
        Wake(); // no engine call under way: the run ends now
    else
        FBrowser.CancelCalls(StoppedText());
}

void CaptureSession::DocumentComplete() {
    if (FState != State::Loading)
        return;
    // the blank page that ended an earlier capture may finish after this one began
    if (FBrowser.LocationURL() == BlankPage() && FJob.address != BlankPage())
        return;
    FRefreshWait.stop();
    FComplete = true;
    Wake();
}

void CaptureSession::LoadFailed(const QString& reason) {
    if (FState != State::Loading)
        return; // a capture under way finds out for itself
    if (!reason.isEmpty()) {
        FLoadFailure = reason;
        Wake();
        return;
    }
    // a reason that follows at once (the page's process ended) is the better one
    if (FLoadFailure.isEmpty())
        FLoadFailure = QStringLiteral("the load failed");
    QMetaObject::invokeMethod(this, &CaptureSession::Wake, Qt::QueuedConnection);
}

void CaptureSession::Wake() {
    if (FWake)
        std::exchange(FWake, nullptr)();
}

// The load's end, the time limit and a stop only mark what happened; the run acts on the marks
// in one place, one engine call at a time.
QCoro::Task<> CaptureSession::Run() {
    while (FState == State::Loading) {
        if (FStopRequested)
            Fail(CaptureFailure::Stopped, StoppedText());
        else if (!FLoadFailure.isEmpty())
            Fail(CaptureFailure::LoadFailed,
                 QStringLiteral("Could not load %1: %2").arg(FJob.address, FLoadFailure));
        else if (FComplete)
            co_await CaptureUnlessRefreshed();
        else if (FLimitPassed)
            co_await CaptureAtLimit();
        else
            co_await NextMark();
    }
    Report();
}

QCoro::Task<> CaptureSession::NextMark() {
    EngineWait mark(QStringLiteral("load"), std::numeric_limits<int>::max());
    FWake = mark.FinisherHere();
    try {
        co_await FBrowser.Calls().Await(mark);
    } catch (const VistrelError&) {
        // a stop: the run sees it
    }
    FWake = nullptr;
}

// Held first: a page that reloads itself at once is captured as it stands, not while it is
// gone; one that sends itself elsewhere is let go there.
QCoro::Task<> CaptureSession::CaptureUnlessRefreshed() {
    try {
        co_await FBrowser.HoldPage(true);
    } catch (const VistrelError&) {
        // the capture finds out for itself what is left of the page
    }
    if (!co_await RefreshComing() && !FStopRequested)
        co_await Capture();
    try {
        co_await FBrowser.HoldPage(false);
    } catch (const VistrelError&) {
        // let go already: nothing more to do
    }
}

// A loaded page whose meta refresh sends it to another address soon is not the page to capture:
// the load goes on with the page it sends to.
QCoro::Task<bool> CaptureSession::RefreshComing() {
    if (FRefreshes >= MostRefreshes || FRefreshWait.isActive())
        co_return FRefreshWait.isActive();
    QList<QVariant> refresh;
    try {
        refresh = (co_await FBrowser.RunScript(PageScript::MetaRefresh())).toList();
    } catch (const VistrelError&) {
        co_return false; // a page that answers nothing is captured as it is, or fails there
    }
    if (refresh.size() != 2 || FState != State::Loading || FStopRequested)
        co_return false;
    const double delayMs = refresh.at(0).toDouble() * 1000;
    const double allowedMs = FLimit.isActive() ? FLimit.remainingTime() : RefreshWithoutLimitMs;
    if (delayMs > allowedMs)
        co_return false;
    ++FRefreshes;
    FComplete = false;
    FRefreshWait.start(int(delayMs) + RefreshGraceMs);
    co_return true;
}

// The time is up before the load ended: the page is captured as it stands if there is one.
QCoro::Task<> CaptureSession::CaptureAtLimit() {
    bool document = false;
    QString error;
    try {
        document = co_await FBrowser.HasDocument();
    } catch (const VistrelError& e) {
        error = e.message(); // a page busy for ever in its own script answers nothing
    }
    if (FComplete || !FLoadFailure.isEmpty() || FStopRequested)
        co_return; // the load ended meanwhile: that decides
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
        co_await Capture();
    }
}

QString CaptureSession::LimitText() const {
    return QStringLiteral("%1 s").arg(FJob.loadTimeLimitSeconds);
}

QCoro::Task<> CaptureSession::Capture() {
    FState = State::Capturing;
    FRefreshWait.stop();
    // What is left of the load time limit is what lazily loaded content may take.
    const QDeadlineTimer contentDeadline = FLimit.isActive()
                                               ? QDeadlineTimer(FLimit.remainingTime())
                                               : QDeadlineTimer(QDeadlineTimer::Forever);
    FLimit.stop(); // the capture's own engine calls have their own limits
    emit CaptureStarted();
    try {
        if (!co_await FBrowser.HasDocument()) {
            Fail(CaptureFailure::NothingToCapture, QStringLiteral("There is no page to capture"));
            co_return;
        }
        co_await ReadFacts();
        if (!co_await ApplyControls(contentDeadline))
            co_return;
        PageRenderer renderer(FBrowser);
        renderer.SetProgress(
            [this](int done, int planned) { emit ScreensProgress(done, planned); });
        renderer.SetStopCheck([this] { return FStopRequested; });
        renderer.SetPictureWatcher(FWatcher);
        renderer.SetKeepFixed(FJob.keepFixedElements);
        renderer.SetContentDeadline(contentDeadline);
        renderer.SetElement(FJob.controls.elementSelector, FJob.controls.elementPadding);
        renderer.SetScale(FJob.controls.scale);
        FPicture = co_await RenderHidingElements(renderer);
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

QCoro::Task<> CaptureSession::ReadFacts() {
    FFacts.httpStatus = FBrowser.HttpStatus();
    const QVariantList facts = (co_await FBrowser.RunScript(ControlScript::Facts())).toList();
    FFacts.finalAddress = facts.size() == 2 ? facts[0].toString() : FBrowser.LocationURL();
    FFacts.title = facts.size() == 2 ? facts[1].toString() : QString();
}

// What the job asks of the page before its first screen, in this order; false once the run
// failed on the way.
QCoro::Task<bool> CaptureSession::ApplyControls(QDeadlineTimer deadline) {
    const CaptureControls& controls = FJob.controls;
    if (!co_await CheckHttpStatus())
        co_return false;
    if (!controls.waitForSelector.isEmpty() &&
        !co_await WaitUntil(ControlScript::ElementShown(controls.waitForSelector), false,
                            controls.waitForSelector, deadline))
        co_return false;
    if (!controls.waitUntilScript.isEmpty() &&
        !co_await WaitUntil(ControlScript::Truthy(controls.waitUntilScript), true,
                            controls.waitUntilScript, deadline))
        co_return false;
    if (controls.delayMs > 0)
        co_await FBrowser.Pause(controls.delayMs);
    if (!controls.pageScript.isEmpty()) {
        try {
            co_await FBrowser.RunPageScript(controls.pageScript);
        } catch (const VistrelError& error) {
            if (FStopRequested)
                throw;
            Fail(CaptureFailure::CaptureFailed,
                 QStringLiteral("the page's script failed: %1").arg(error.message()));
            co_return false;
        }
    }
    co_return true;
}

QCoro::Task<bool> CaptureSession::CheckHttpStatus() {
    const int status = FFacts.httpStatus;
    if (status < 400)
        co_return true;
    const QString text =
        QStringLiteral("%1 was answered with HTTP %2").arg(FJob.address).arg(status);
    if (FJob.controls.failOnHttpError) {
        Fail(CaptureFailure::LoadFailed, text);
        co_return false;
    }
    emit Warning(QStringLiteral("warning: %1; captured as it came").arg(text));
    co_return true;
}

// Asks again and again until the answer is true; a text for an answer is a fault in the script.
QCoro::Task<bool> CaptureSession::WaitUntil(QString script, bool pageWorld, QString what,
                                            QDeadlineTimer deadline) {
    for (;;) {
        if (FStopRequested)
            throw VistrelError(StoppedText());
        QVariant answer;
        if (pageWorld) // GCC 12 cannot co_await within ?:
            answer = co_await FBrowser.RunPageScript(script);
        else
            answer = co_await FBrowser.RunScript(script);
        if (answer.typeId() == QMetaType::QString) {
            Fail(CaptureFailure::CaptureFailed,
                 QStringLiteral("%1 is not a selector: %2").arg(what, answer.toString()));
            co_return false;
        }
        if (answer.toBool())
            co_return true;
        if (deadline.hasExpired()) {
            Fail(CaptureFailure::LoadFailed,
                 QStringLiteral("%1 did not appear within %2").arg(what, LimitText()));
            co_return false;
        }
        co_await FBrowser.Pause(WaitPollMs);
    }
}

// Hidden on every screen, and given back whatever became of the capture.
QCoro::Task<QImage> CaptureSession::RenderHidingElements(PageRenderer& renderer) {
    const QStringList& hidden = FJob.controls.hiddenSelectors;
    if (hidden.isEmpty())
        co_return co_await renderer.Render();
    const QVariant answer = co_await FBrowser.RunScript(ControlScript::Hide(hidden));
    if (answer.typeId() == QMetaType::QString)
        throw VistrelError(answer.toString());
    std::exception_ptr failure;
    QImage picture;
    try {
        picture = co_await renderer.Render();
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        co_await FBrowser.RunScript(ControlScript::Unhide());
    } catch (const VistrelError&) {
        // a page that went away needs nothing back
    }
    if (failure)
        std::rethrow_exception(failure);
    co_return picture;
}

void CaptureSession::Fail(CaptureFailure failure, const QString& message) {
    FLimit.stop();
    FState = State::Done;
    FFailure = failure;
    FMessage = message;
    FPicture = QImage();
    FBrowser.Stop();
}

// Last, once the run touches nothing more: a receiver may start the next run.
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
