// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/webengine/WebEngineBrowser.h"

#include "capture/ControlScript.h"
#include "capture/EngineWait.h"
#include "capture/PageScript.h"
#include "common/VistrelError.h"
#include "engines/webengine/BrowserPage.h"
#include "engines/webengine/HeaderInterceptor.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEvent>
#include <QNetworkCookie>
#include <QTimer>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <algorithm>

namespace {

// A view that has not painted for this long has no frame on its way; an animated page is
// never quiet, and is not waited for longer than the limit.
constexpr int QuietMs = 60;
constexpr int PageScriptPollMs = 50;
constexpr int QuietLimitMs = 600;
constexpr int RefusedDownloadMs = 250;

QString EndedText(int status) {
    switch (status) {
    case QWebEnginePage::CrashedTerminationStatus:
        return QStringLiteral("the page's process crashed");
    case QWebEnginePage::KilledTerminationStatus:
        return QStringLiteral("the page's process was killed");
    default:
        return QStringLiteral("the page's process ended unexpectedly");
    }
}

} // namespace

WebEngineBrowser::WebEngineBrowser(QObject* parent, QWebEngineProfile* profile)
    : ScriptedBrowser(parent), FView(new QWebEngineView),
      FPage(new BrowserPage(profile ? profile : QWebEngineProfile::defaultProfile(), FView)) {
    FView->setObjectName(QStringLiteral("pageBrowser"));
    FView->setPage(FPage);
    FView->setContextMenuPolicy(Qt::NoContextMenu);
    connect(FPage, &BrowserPage::NewWindowRefused, this, &Browser::NewWindowRefused);
    connect(FPage, &QWebEnginePage::loadingChanged, this, &WebEngineBrowser::LoadingChanged);
    connect(FPage, &QWebEnginePage::loadProgress, this,
            [this](int progress) { emit ProgressChange(progress, 100); });
    connect(FPage, &QWebEnginePage::urlChanged, this, &Browser::NavigateComplete);
    connect(FPage, &QWebEnginePage::linkHovered, this, [this](const QString& link) {
        emit StatusTextChange(link.isEmpty() ? FStatus : link);
    });
    connect(FPage, &QWebEnginePage::scrollPositionChanged, this, &WebEngineBrowser::FrameArrived);
    connect(FPage, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                ProcessEnded(status);
            });
    connect(FPage->profile(), &QWebEngineProfile::downloadRequested, this,
            &WebEngineBrowser::DownloadRequested);
    FView->installEventFilter(this);
    WatchRenderWidget();
}

// The view belongs to whichever window holds it; it may be gone first.
WebEngineBrowser::~WebEngineBrowser() {
    if (FView && !FView->parent())
        delete FView;
}

QWidget* WebEngineBrowser::Widget() const {
    return FView;
}

QCoro::Task<qint64> WebEngineBrowser::PageProcessId() {
    co_return FPage->renderProcessPid();
}

void WebEngineBrowser::SetQuiet(bool quiet) {
    FPage->SetQuiet(quiet);
}

// A navigation that began before the hold is let finish: stopped half way, the engine may
// leave a new document that never paints. One that does not finish in time is stopped.
QCoro::Task<> WebEngineBrowser::HoldPage(bool held) {
    FPage->SetHeld(held);
    if (!held || !FLoading)
        co_return;
    EngineWait wait(QStringLiteral("load"), FTimeLimitMs);
    FLoadWaiter = wait.Finisher();
    bool stop = false;
    try {
        co_await Await(wait);
    } catch (const VistrelError&) {
        FLoadWaiter = nullptr;
        if (!FEnded.isEmpty() || !wait.TimedOut())
            throw;
        stop = true;
    }
    FLoadWaiter = nullptr;
    if (stop)
        FView->stop();
}

void WebEngineBrowser::Navigate(const QString& address) {
    FTarget = address;
    FHttpStatus = 0;
    FEnded.clear();
    FRefusedDownloads.clear();
    FNeedFreshFrame = true;
    if (address == QLatin1String("about:blank"))
        FStatus.clear(); // nor does a hover that ends bring back the last page's "完成"
    else
        SetStatus(QCoreApplication::translate("Window", "正在打开网页 %1...").arg(address));
    FView->setUrl(QUrl::fromUserInput(address));
}

void WebEngineBrowser::Stop() {
    FView->stop();
}

void WebEngineBrowser::Refresh() {
    FNeedFreshFrame = true;
    FEnded.clear();
    FView->reload();
}

QString WebEngineBrowser::LocationURL() const {
    return FView->url().toString();
}

void WebEngineBrowser::SetViewSize(const QSize& size) {
    if (FView->size() != size)
        FNeedFreshFrame = true;
    FView->resize(size);
}

QSize WebEngineBrowser::ViewSize() const {
    return FView->size();
}

// A navigation has a document once the engine shows something else than the blank page it
// started from.
QCoro::Task<bool> WebEngineBrowser::HasDocument() {
    if (FTarget.isEmpty())
        co_return false;
    co_return co_await ShowsDocument(FTarget);
}

QCoro::Task<QPoint> WebEngineBrowser::ScrollTo(const QPoint& position) {
    if (FNeedFreshFrame)
        co_await PrepareFirstFrame(position);
    const QPoint reached = co_await ScrollNow(position);
    co_await WaitForFrameAt(reached);
    co_return reached;
}

QCoro::Task<bool> WebEngineBrowser::AwaitPaint(int milliseconds) {
    if (FPaintsSinceGrab > 0)
        co_return true;
    EngineWait wait(QStringLiteral("paint"), milliseconds + 5000);
    QTimer::singleShot(milliseconds, this, wait.Finisher());
    FPaintWaiter = wait.Finisher();
    try {
        co_await Await(wait);
    } catch (...) {
        FPaintWaiter = nullptr;
        throw;
    }
    FPaintWaiter = nullptr;
    co_return FPaintsSinceGrab > 0;
}

QCoro::Task<QImage> WebEngineBrowser::PaintView() {
    co_return GrabView();
}

QCoro::Task<PaintedView> WebEngineBrowser::PaintPartSoon(QRect part) {
    co_return PaintedView(GrabView(part));
}

QImage WebEngineBrowser::GrabView(const QRect& part) {
    const QRect area = part.isNull() ? QRect(QPoint(0, 0), FView->size()) : part;
    FPaintsSinceGrab = 0;
    FGrabbing = true; // the grab paints the view once more, with nothing new
    QImage view = FView->grab(area).toImage();
    FGrabbing = false;
    if (view.isNull())
        throw VistrelError(QStringLiteral("The browser could not paint its view"));
    if (view.size() != area.size()) // a high-density screen paints more pixels than the page has
        view = view.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return view.convertToFormat(QImage::Format_RGB888);
}

bool WebEngineBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FRenderWidget && event->type() == QEvent::Paint && !FGrabbing) {
        ++FPaints;
        ++FPaintsSinceGrab;
        if (++FPaintsSinceFrame > 1)
            FFlowing = true;
        CheckFrame();
        if (FPaintWaiter)
            FPaintWaiter();
    } else if (watched == FView && event->type() == QEvent::Show) {
        FNeedFreshFrame = true; // shown again, perhaps in another window
    } else if (watched == FView && event->type() == QEvent::ChildAdded) {
        QTimer::singleShot(0, this, &WebEngineBrowser::WatchRenderWidget);
    }
    return false;
}

// The engine draws into a child widget that it replaces when its page process restarts.
void WebEngineBrowser::WatchRenderWidget() {
    QWidget* widget = FView ? FView->focusProxy() : nullptr;
    if (!widget || widget == FRenderWidget)
        return;
    FRenderWidget = widget;
    widget->installEventFilter(this);
}

// A page whose process has gone answers nothing more: waiting on would only run into the
// time limit.
QCoro::Task<> WebEngineBrowser::Await(EngineWait& wait) {
    if (!FEnded.isEmpty())
        throw VistrelError(QStringLiteral("The page can no longer be captured: %1").arg(FEnded));
    co_await FCalls.Await(wait);
}

QCoro::Task<QVariant> WebEngineBrowser::Evaluate(QString script, QString what) {
    co_return co_await EvaluateInWorld(script, what, QWebEngineScript::ApplicationWorld);
}

QCoro::Task<QVariant> WebEngineBrowser::EvaluateInWorld(QString script, QString what,
                                                        quint32 world) {
    EngineWait wait(what, FTimeLimitMs);
    auto answer = std::make_shared<QVariant>();
    auto finish = wait.Finisher();
    FPage->runJavaScript(script, world, [answer, finish](const QVariant& value) {
        *answer = value;
        finish();
    });
    co_await Await(wait);
    co_return *answer;
}

// The engine neither awaits a promise nor tells an exception from a script without a value:
// the script's outcome is kept in the page and read until it is settled.
QCoro::Task<QVariant> WebEngineBrowser::RunPageScript(const QString& script) {
    const QString key = ControlScript::OutcomeKey();
    const QString what = QStringLiteral("script");
    QVariantMap outcome = (co_await EvaluateInWorld(ControlScript::StartInPage(script, key), what,
                                                    QWebEngineScript::MainWorld))
                              .toMap();
    QElapsedTimer clock;
    clock.start();
    while (outcome.value(QStringLiteral("pending")).toBool()) {
        if (clock.elapsed() > FTimeLimitMs)
            throw VistrelError(QStringLiteral("The page's script did not settle within %1 s")
                                   .arg(FTimeLimitMs / 1000));
        co_await Pause(PageScriptPollMs);
        outcome = (co_await EvaluateInWorld(ControlScript::OutcomeInPage(key), what,
                                            QWebEngineScript::MainWorld))
                      .toMap();
    }
    if (outcome.contains(QStringLiteral("error")))
        throw VistrelError(outcome.value(QStringLiteral("error")).toString());
    co_return outcome.value(QStringLiteral("value"));
}

// The profile is the page's own in a batch; a single run has one page.
void WebEngineBrowser::SetControls(const CaptureControls& controls) {
    QWebEngineProfile* profile = FPage->profile();
    if (!controls.userAgent.isEmpty())
        profile->setHttpUserAgent(controls.userAgent);
    for (const PageCookie& cookie : controls.cookies) {
        QNetworkCookie made(cookie.name, cookie.value);
        if (cookie.domain.startsWith(u'.'))
            made.setDomain(cookie.domain); // else the host's alone, as the origin says
        made.setPath(cookie.path);
        made.setSecure(cookie.secure);
        made.setHttpOnly(cookie.httpOnly);
        if (cookie.expires > 0)
            made.setExpirationDate(QDateTime::fromSecsSinceEpoch(cookie.expires));
        const QString host = cookie.domain.startsWith(u'.') ? cookie.domain.mid(1) : cookie.domain;
        profile->cookieStore()->setCookie(
            made, QUrl(QStringLiteral("%1://%2/").arg(cookie.secure ? u"https" : u"http", host)));
    }
    if (!controls.headers.isEmpty())
        FPage->setUrlRequestInterceptor(new HeaderInterceptor(controls.headers, FPage));
}

void WebEngineBrowser::FrameArrived(const QPointF& position) {
    FFramePosition = position.toPoint();
    FPaintsSinceFrame = 0;
    CheckFrame();
}

bool WebEngineBrowser::FrameShown(int paints) const {
    return FFramePosition == FWantedFrame && FPaintsSinceFrame >= paints;
}

void WebEngineBrowser::CheckFrame() {
    if (FFrameWaiter && FrameShown(FPaintsWanted))
        FFrameWaiter();
}

// While frames keep coming, the view may have painted the frame before the scroll once more
// after the new position was reported; the paint after that shows the new one. When no
// second paint comes, the view has gone quiet and its one paint was the new frame.
QCoro::Task<> WebEngineBrowser::WaitForFrameAt(QPoint position) {
    FWantedFrame = position;
    if (!FrameShown(1)) {
        EngineWait wait(QStringLiteral("frame"), FTimeLimitMs);
        FFrameWaiter = wait.Finisher();
        co_await AwaitPaints(1, wait);
    }
    if (FFlowing && !FrameShown(2)) {
        EngineWait settle(QStringLiteral("frame"), QuietMs + 5000);
        QTimer::singleShot(QuietMs, this, settle.Finisher());
        FFrameWaiter = settle.Finisher();
        co_await AwaitPaints(2, settle);
        FFlowing = FrameShown(2);
    }
}

QCoro::Task<> WebEngineBrowser::AwaitPaints(int paints, EngineWait& wait) {
    FPaintsWanted = paints;
    CheckFrame();
    try {
        co_await Await(wait);
    } catch (...) {
        FFrameWaiter = nullptr;
        throw;
    }
    FFrameWaiter = nullptr;
}

// After a load or a resize the view may still show an older frame whose position happens to
// be the same. Moving the page by one pixel and back gives two frames known to be new.
QCoro::Task<> WebEngineBrowser::PrepareFirstFrame(QPoint position) {
    co_await WaitForViewSize(FView->size());
    FNeedFreshFrame = false;
    FFlowing = false;
    const QPoint here = co_await ScrollNow(position);
    for (const QPoint nudge : {QPoint(0, 1), QPoint(0, -1), QPoint(1, 0), QPoint(-1, 0)}) {
        const QPoint moved = co_await ScrollNow(here + nudge);
        if (moved != here) {
            co_await WaitForFrameAt(moved);
            co_await WaitForQuietView();
            co_return;
        }
    }
    co_await WaitForAnimationFrames(); // the page cannot move: let the engine finish its frame
    co_await WaitForQuietView();
}

// Frames that were on their way when the wait began show up as paints; once the view has
// stopped painting, the next paint can only be a new frame.
QCoro::Task<> WebEngineBrowser::WaitForQuietView() {
    QElapsedTimer clock;
    clock.start();
    bool quiet = false;
    while (!quiet && clock.elapsed() < QuietLimitMs) {
        const int before = FPaints;
        co_await Pause(QuietMs);
        quiet = FPaints == before;
    }
    FFlowing = !quiet;
    FPaintsSinceFrame = std::max(FPaintsSinceFrame, 2);
}

QCoro::Task<> WebEngineBrowser::WaitForAnimationFrames() {
    co_await Evaluate(QStringLiteral("window.vistrelFrames = 0; requestAnimationFrame(() =>"
                                     " requestAnimationFrame(() => { window.vistrelFrames = 2; }));"
                                     " 0"),
                      QStringLiteral("frame"));
    QElapsedTimer clock;
    clock.start();
    while ((co_await Evaluate(QStringLiteral("window.vistrelFrames"), QStringLiteral("frame")))
               .toInt() != 2) {
        if (clock.elapsed() > FTimeLimitMs)
            throw VistrelError(QStringLiteral("The page did not answer in time (frame)"));
        co_await Pause(5);
    }
}

// While the page is held, the loads that start are its own navigations, refused or stopped:
// nothing the page shows changes.
bool WebEngineBrowser::HeldLoad(const QWebEngineLoadingInfo& info) {
    if (!FPage->Held())
        return false;
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        if (!FPage->TakeRefused(info.url()))
            FView->stop(); // it slipped through just before the hold
        return true;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        return true;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        return info.errorCode() == -3;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        return false;
    }
    return false;
}

void WebEngineBrowser::LoadingChanged(const QWebEngineLoadingInfo& info) {
    // A view out of sight paints the engine's frames only when something asks it to; until it
    // does, a page that opens dialogs without end waits for its frame and answers no script.
    if (FRenderWidget && !FPage->Held())
        FRenderWidget->update();
    FLoading = info.status() == QWebEngineLoadingInfo::LoadStartedStatus;
    if (!FLoading && FLoadWaiter)
        FLoadWaiter();
    if (HeldLoad(info))
        return;
    FNeedFreshFrame = true;
    // The blank page that ends a capture says nothing: the status line was just emptied.
    const bool blank = info.url() == QUrl(QStringLiteral("about:blank"));
    // An error page the server sent (404, 500) is still the page at that address.
    const bool httpError = info.status() == QWebEngineLoadingInfo::LoadFailedStatus &&
                           info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain;
    // The engine names a status only when it is an error; a page it shows was answered well.
    if (httpError)
        FHttpStatus = info.errorCode();
    else if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus && !blank &&
             info.url().scheme().startsWith(QLatin1String("http")))
        FHttpStatus = 200;
    switch (httpError ? QWebEngineLoadingInfo::LoadSucceededStatus : info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        if (blank)
            FStatus.clear();
        else
            SetStatus(QCoreApplication::translate("Window", "正在打开网页 %1...")
                          .arg(info.url().toString()));
        break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        emit ProgressChange(-1, 100);
        if (!blank)
            SetStatus(QCoreApplication::translate("Window", "完成"));
        // the blank page of an earlier capture finishing under a new navigation is not it
        if (blank && FTarget != QLatin1String("about:blank"))
            break;
        emit DocumentComplete();
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        emit ProgressChange(-1, 100);
        SetStatus(QString());
        if (info.errorCode() != -3) // -3: aborted by a stop or by the next navigation
            emit LoadFailed(info.errorString());
        break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        FLastStopped = info.url();
        if (FRefusedDownloads.removeOne(info.url())) { // see PageDownloadRefused
            LoadEnded();
            break;
        }
        emit ProgressChange(-1, 100);
        SetStatus(QString());
        break;
    }
}

void WebEngineBrowser::LoadEnded() {
    emit ProgressChange(-1, 100);
    SetStatus(QCoreApplication::translate("Window", "完成"));
    emit DocumentComplete();
}

void WebEngineBrowser::ProcessEnded(int status) {
    FNeedFreshFrame = true;
    FLoading = false;
    if (status == QWebEnginePage::NormalTerminationStatus)
        return;
    FEnded = EndedText(status);
    FCalls.AbortAll(QStringLiteral("The page can no longer be captured: %1").arg(FEnded));
    emit LoadFailed(FEnded);
}

// Nothing is ever saved but the program's own files. An address that turns out to be a
// download brings no page at all: its load has failed. A download that a page starts is
// only refused.
void WebEngineBrowser::DownloadRequested(QWebEngineDownloadRequest* download) {
    if (download->page() != FPage || FTarget.isEmpty())
        return;
    download->cancel();
    const QUrl shown = FPage->history()->currentItem().url();
    if (shown.isEmpty() || shown == QUrl(QStringLiteral("about:blank")))
        AddressIsDownload(download->suggestedFileName());
    else
        PageDownloadRefused(download->url());
}

// The engine removes what it had already received a moment later, on a thread of its own: a
// run that ended at once would leave that file behind.
void WebEngineBrowser::AddressIsDownload(const QString& fileName) {
    const QString reason = QStringLiteral("it is a download (%1), not a page").arg(fileName);
    QTimer::singleShot(RefusedDownloadMs, this, [this, reason, target = FTarget] {
        if (FTarget == target)
            emit LoadFailed(reason);
    });
}

// A link the page followed that was a download: the engine reports the end of the page's load
// as the end of that link's, before or after this.
void WebEngineBrowser::PageDownloadRefused(const QUrl& url) {
    if (FLastStopped == url && !FLoading)
        QTimer::singleShot(0, this, &WebEngineBrowser::LoadEnded); // once the engine has it back
    else
        FRefusedDownloads << url;
}

void WebEngineBrowser::SetStatus(const QString& text) {
    FStatus = text;
    emit StatusTextChange(text);
}
