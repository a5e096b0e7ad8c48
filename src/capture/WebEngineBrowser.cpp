#include "capture/WebEngineBrowser.h"

#include "capture/BrowserPage.h"
#include "capture/EngineWait.h"
#include "common/VistrelError.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {

// A view that has not painted for this long has no frame on its way; an animated page is
// never quiet, and is not waited for longer than the limit.
constexpr int QuietMs = 60;
constexpr int QuietLimitMs = 600;

// Lets the engine work for a while, user input excluded.
void Pause(int milliseconds) {
    EngineWait pause(QStringLiteral("pause"), milliseconds + 5000);
    QTimer::singleShot(milliseconds, pause.Finisher());
    pause.Wait();
}

QString SizeText(const QSize& size) {
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

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

WebEngineBrowser::WebEngineBrowser(QObject* parent)
    : Browser(parent), FView(new QWebEngineView), FPage(new BrowserPage(FView)) {
    FView->setObjectName(QStringLiteral("WebBrowser_Snap"));
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

void WebEngineBrowser::SetQuiet(bool quiet) {
    FPage->SetQuiet(quiet);
}

void WebEngineBrowser::Navigate(const QString& address) {
    FTarget = address;
    FNeedFreshFrame = true;
    if (address == QLatin1String("about:blank"))
        FStatus.clear(); // nor does a hover that ends bring back the last page's "完成"
    else
        SetStatus(QStringLiteral("正在打开网页 %1...").arg(address));
    FView->setUrl(QUrl::fromUserInput(address));
}

void WebEngineBrowser::Stop() {
    FView->stop();
}

void WebEngineBrowser::Refresh() {
    FNeedFreshFrame = true;
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
bool WebEngineBrowser::HasDocument() {
    if (FTarget.isEmpty())
        return false;
    const QVariantList answer =
        Evaluate(QStringLiteral("[location.href, !!document.body]"), QStringLiteral("document"))
            .toList();
    if (answer.size() != 2 || !answer.at(1).toBool())
        return false;
    return answer.at(0).toString() != QLatin1String("about:blank") ||
           FTarget == QLatin1String("about:blank");
}

DocumentMetrics WebEngineBrowser::Metrics() {
    WaitForViewSize();
    const QList<int> n = EvaluateNumbers(
        QStringLiteral("(() => { const e = document.scrollingElement || document.documentElement;"
                       " return e ? [innerWidth, innerHeight, e.clientWidth, e.clientHeight,"
                       " e.scrollWidth, e.scrollHeight, scrollX, scrollY]"
                       " : [innerWidth, innerHeight, innerWidth, innerHeight,"
                       " innerWidth, innerHeight, scrollX, scrollY]; })()"),
        8, QStringLiteral("metrics"));
    DocumentMetrics metrics{QSize(n[0], n[1]), QSize(n[2], n[3]), QSize(n[4], n[5]),
                            QPoint(n[6], n[7])};
    if (metrics.Client.width() < metrics.Viewport.width())
        FScrollBarWidth = metrics.Viewport.width() - metrics.Client.width();
    return metrics;
}

QPoint WebEngineBrowser::ScrollTo(const QPoint& position) {
    if (FNeedFreshFrame)
        PrepareFirstFrame(position);
    const QPoint reached = ScrollNow(position);
    WaitForFrameAt(reached);
    return reached;
}

QImage WebEngineBrowser::PaintView() {
    const QSize size = FView->size();
    QImage view = FView->grab(QRect(QPoint(0, 0), size)).toImage();
    if (view.isNull())
        throw VistrelError(QStringLiteral("The browser could not paint its view"));
    if (view.size() != size) // a high-density screen paints more pixels than the page has
        view = view.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return view.convertToFormat(QImage::Format_RGB888);
}

bool WebEngineBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FRenderWidget && event->type() == QEvent::Paint) {
        ++FPaints;
        FPaintedSinceFrame = true;
        CheckFrame();
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

QVariant WebEngineBrowser::Evaluate(const QString& script, const QString& what) {
    EngineWait wait(what, FTimeLimitMs);
    auto answer = std::make_shared<QVariant>();
    auto finish = wait.Finisher();
    FPage->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                         [answer, finish](const QVariant& value) {
                             *answer = value;
                             finish();
                         });
    wait.Wait();
    return *answer;
}

QList<int> WebEngineBrowser::EvaluateNumbers(const QString& script, int count,
                                             const QString& what) {
    const QVariantList answer = Evaluate(script, what).toList();
    if (answer.size() != count)
        throw VistrelError(QStringLiteral("The page gave no %1").arg(what));
    QList<int> numbers;
    for (const QVariant& value : answer) {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok)
            throw VistrelError(QStringLiteral("The page gave no %1").arg(what));
        numbers << qRound(number);
    }
    return numbers;
}

QPoint WebEngineBrowser::ScrollNow(const QPoint& position) {
    const QList<int> n =
        EvaluateNumbers(QStringLiteral("window.scrollTo({left: %1, top: %2, behavior: 'instant'});"
                                       " [scrollX, scrollY]")
                            .arg(position.x())
                            .arg(position.y()),
                        2, QStringLiteral("scroll position"));
    return QPoint(n[0], n[1]);
}

void WebEngineBrowser::FrameArrived(const QPointF& position) {
    FFramePosition = position.toPoint();
    FPaintedSinceFrame = false;
    CheckFrame();
}

void WebEngineBrowser::CheckFrame() {
    if (FFrameWaiter && FFramePosition == FWantedFrame && FPaintedSinceFrame)
        FFrameWaiter();
}

void WebEngineBrowser::WaitForFrameAt(const QPoint& position) {
    if (FFramePosition == position && FPaintedSinceFrame)
        return;
    EngineWait wait(QStringLiteral("frame"), FTimeLimitMs);
    FWantedFrame = position;
    FFrameWaiter = wait.Finisher();
    CheckFrame();
    try {
        wait.Wait();
    } catch (...) {
        FFrameWaiter = nullptr;
        throw;
    }
    FFrameWaiter = nullptr;
}

// A resize reaches the page some frames later.
void WebEngineBrowser::WaitForViewSize() {
    const QSize wanted = FView->size();
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const QList<int> n = EvaluateNumbers(QStringLiteral("[innerWidth, innerHeight]"), 2,
                                             QStringLiteral("view size"));
        if (QSize(n[0], n[1]) == wanted)
            return;
        if (clock.elapsed() > FTimeLimitMs)
            throw VistrelError(
                QStringLiteral("The page did not take the view's size (%1)").arg(SizeText(wanted)));
        Pause(10);
    }
}

// After a load or a resize the view may still show an older frame whose position happens to
// be the same. Moving the page by one pixel and back gives two frames known to be new.
void WebEngineBrowser::PrepareFirstFrame(const QPoint& position) {
    WaitForViewSize();
    FNeedFreshFrame = false;
    const QPoint here = ScrollNow(position);
    for (const QPoint nudge : {QPoint(0, 1), QPoint(0, -1), QPoint(1, 0), QPoint(-1, 0)}) {
        const QPoint moved = ScrollNow(here + nudge);
        if (moved != here) {
            WaitForFrameAt(moved);
            WaitForQuietView();
            return;
        }
    }
    WaitForAnimationFrames(); // the page cannot move: let the engine finish its frame
    WaitForQuietView();
}

// Frames that were on their way when the wait began show up as paints; once the view has
// stopped painting, the next paint can only be a new frame.
void WebEngineBrowser::WaitForQuietView() {
    QElapsedTimer clock;
    clock.start();
    for (int before = -1; before != FPaints && clock.elapsed() < QuietLimitMs;) {
        before = FPaints;
        Pause(QuietMs);
    }
    FPaintedSinceFrame = true;
}

void WebEngineBrowser::WaitForAnimationFrames() {
    Evaluate(QStringLiteral("window.vistrelFrames = 0; requestAnimationFrame(() =>"
                            " requestAnimationFrame(() => { window.vistrelFrames = 2; })); 0"),
             QStringLiteral("frame"));
    QElapsedTimer clock;
    clock.start();
    while (Evaluate(QStringLiteral("window.vistrelFrames"), QStringLiteral("frame")).toInt() != 2) {
        if (clock.elapsed() > FTimeLimitMs)
            throw VistrelError(QStringLiteral("The page did not answer in time (frame)"));
        Pause(5);
    }
}

void WebEngineBrowser::LoadingChanged(const QWebEngineLoadingInfo& info) {
    FNeedFreshFrame = true;
    // The blank page that ends a capture says nothing: the status line was just emptied.
    const bool blank = info.url() == QUrl(QStringLiteral("about:blank"));
    // An error page the server sent (404, 500) is still the page at that address.
    const bool httpError = info.status() == QWebEngineLoadingInfo::LoadFailedStatus &&
                           info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain;
    switch (httpError ? QWebEngineLoadingInfo::LoadSucceededStatus : info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        if (blank)
            FStatus.clear();
        else
            SetStatus(QStringLiteral("正在打开网页 %1...").arg(info.url().toString()));
        break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        emit ProgressChange(-1, 100);
        if (!blank)
            SetStatus(QStringLiteral("完成"));
        // the blank page of an earlier capture finishing under a new navigation is not it
        if (info.url() == QUrl(QStringLiteral("about:blank")) &&
            FTarget != QLatin1String("about:blank"))
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
        emit ProgressChange(-1, 100);
        SetStatus(QString());
        break;
    }
}

void WebEngineBrowser::ProcessEnded(int status) {
    FNeedFreshFrame = true;
    if (status != QWebEnginePage::NormalTerminationStatus)
        emit LoadFailed(EndedText(status));
}

void WebEngineBrowser::SetStatus(const QString& text) {
    FStatus = text;
    emit StatusTextChange(text);
}
