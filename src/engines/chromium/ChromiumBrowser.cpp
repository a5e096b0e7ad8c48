// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/chromium/ChromiumBrowser.h"

#include "capture/DesktopFonts.h"
#include "capture/EngineWait.h"
#include "capture/PageScript.h"
#include "common/VistrelError.h"
#include "png/PngRows.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QtConcurrentRun>

namespace {

// Only the families fontconfig found: an empty name would be taken as a family of that name.
QJsonObject DesktopFamiliesParams() {
    const DesktopFontFamilies& desktop = DesktopFamilies();
    const QList<QPair<const char*, QString>> named{
        {"standard", desktop.standard},   {"serif", desktop.standard},
        {"sansSerif", desktop.sansSerif}, {"fixed", desktop.fixed},
        {"cursive", desktop.cursive},     {"fantasy", desktop.fantasy}};
    QJsonObject families;
    for (const auto& [generic, family] : named)
        if (!family.isEmpty())
            families.insert(QLatin1String(generic), family);
    return {{QStringLiteral("fontFamilies"), families}};
}

const char* const QuietWindowScript =
    "window.open = function open() { return null; };"
    "window.alert = function alert() {};"
    "window.confirm = function confirm() { return false; };"
    "window.prompt = function prompt() { return null; };"
    "window.print = function print() {};"
    // a link or form that would open a new window does nothing, unless a frame has that name
    "(() => { const other = (t) => t && !/^_(self|top|parent)$/i.test(t) &&"
    " !document.querySelector('iframe[name=\"' + CSS.escape(t) + '\"]');"
    " addEventListener('click', (e) => { const a = e.composedPath().find((n) =>"
    " n.tagName === 'A' || n.tagName === 'AREA'); if (a && other(a.target)) e.preventDefault();"
    " }, true);"
    " addEventListener('submit', (e) => { const t = (e.submitter && e.submitter.formTarget) ||"
    " e.target.target; if (other(t)) e.preventDefault(); }, true); })();";

// Enough of a screen to see what it shows in its top left corner.
constexpr int TopRows = 16;

QString EndedText(const QString& status) {
    if (status == QLatin1String("killed"))
        return QStringLiteral("the page's process was killed");
    if (status == QLatin1String("crashed"))
        return QStringLiteral("the page's process crashed");
    return QStringLiteral("the page's process ended unexpectedly");
}

// Built outside the coroutines: GCC 12 cannot keep string literals of a braced list in a
// coroutine's frame.
QJsonObject ScreenshotParams() {
    return {{QStringLiteral("format"), QStringLiteral("png")},
            {QStringLiteral("optimizeForSpeed"), true}};
}

QJsonObject ClipParams(const QRect& part, const QPointF& viewAt) {
    return {{QStringLiteral("x"), viewAt.x() + part.x()},
            {QStringLiteral("y"), viewAt.y() + part.y()},
            {QStringLiteral("width"), part.width()},
            {QStringLiteral("height"), part.height()},
            {QStringLiteral("scale"), 1}};
}

QJsonObject WorldParams(const QString& frame) {
    return {{QStringLiteral("frameId"), frame},
            {QStringLiteral("worldName"), QStringLiteral("vistrel-capture")}};
}

QJsonObject EvaluateParams(const QString& script, int world) {
    return {{QStringLiteral("expression"), script},
            {QStringLiteral("returnByValue"), true},
            {QStringLiteral("contextId"), world}};
}

QJsonObject PageEvaluateParams(const QString& script) {
    return {{QStringLiteral("expression"), script},
            {QStringLiteral("awaitPromise"), true},
            {QStringLiteral("userGesture"), true}};
}

QString ExceptionText(const QJsonObject& details) {
    const QJsonObject exception = details.value(QStringLiteral("exception")).toObject();
    const QString description = exception.value(QStringLiteral("description")).toString();
    if (!description.isEmpty())
        return description.section(u'\n', 0, 0);
    const QString value = exception.value(QStringLiteral("value")).toVariant().toString();
    return value.isEmpty() ? details.value(QStringLiteral("text")).toString() : value;
}

QJsonObject CookieParams(const PageCookie& cookie) {
    QJsonObject param{{QStringLiteral("name"), QString::fromUtf8(cookie.name)},
                      {QStringLiteral("value"), QString::fromUtf8(cookie.value)},
                      {QStringLiteral("path"), cookie.path},
                      {QStringLiteral("secure"), cookie.secure},
                      {QStringLiteral("httpOnly"), cookie.httpOnly}};
    // A domain without its leading dot is the host's alone: given as an address, not a domain.
    if (cookie.domain.startsWith(u'.'))
        param.insert(QStringLiteral("domain"), cookie.domain);
    else
        param.insert(QStringLiteral("url"),
                     QStringLiteral("%1://%2%3")
                         .arg(cookie.secure ? u"https" : u"http", cookie.domain, cookie.path));
    if (cookie.expires > 0)
        param.insert(QStringLiteral("expires"), double(cookie.expires));
    return param;
}

QJsonObject MediaParams(const CaptureControls& controls) {
    QJsonArray features;
    if (controls.colorScheme != ColorScheme::PageDefault)
        features << QJsonObject{{QStringLiteral("name"), QStringLiteral("prefers-color-scheme")},
                                {QStringLiteral("value"), controls.colorScheme == ColorScheme::Dark
                                                              ? QStringLiteral("dark")
                                                              : QStringLiteral("light")}};
    if (controls.reducedMotion)
        features << QJsonObject{{QStringLiteral("name"), QStringLiteral("prefers-reduced-motion")},
                                {QStringLiteral("value"), QStringLiteral("reduce")}};
    return {{QStringLiteral("features"), features}};
}

bool IsBlank(const QString& address) {
    return address.isEmpty() || address == QLatin1String("about:blank");
}

} // namespace

ChromiumBrowser::ChromiumBrowser(std::shared_ptr<ChromiumProcess> process, QObject* parent)
    : ScriptedBrowser(parent), FProcess(std::move(process)) {
    FDecoding.setMaxThreadCount(1);
    if (!FProcess)
        FProcess = std::make_shared<ChromiumProcess>(ChromiumProcess::Options{});
    DevToolsPipe& pipe = FProcess->Pipe();
    connect(&pipe, &DevToolsPipe::Event, this,
            [this](const QString& method, const QJsonObject& params, const QString& session) {
                if (session.isEmpty())
                    BrowserEvent(method, params);
                else if (session == FSession)
                    PageEvent(method, params, session);
            });
    connect(&pipe, &DevToolsPipe::Ended, this,
            [this] { PageEnded(QStringLiteral("the browser ended unexpectedly")); });
    OpenPage();
}

ChromiumBrowser::~ChromiumBrowser() {
    DevToolsPipe& pipe = FProcess->Pipe();
    // a browser process that ends with this page must not call back into it half destroyed
    pipe.disconnect(this);
    if (!FContext.isEmpty())
        pipe.Send(QStringLiteral("Target.disposeBrowserContext"),
                  {{QStringLiteral("browserContextId"), FContext}}, QString());
}

// A context of its own keeps the page's cookies and storage from every other page; downloads
// are refused in it, and pop-ups it opens are seen and closed. The page is made without
// waiting (pages of a batch run start while others are captured); what is asked of it before
// it is there waits for it.
void ChromiumBrowser::OpenPage() {
    FReady = false;
    DevToolsPipe& pipe = FProcess->Pipe();
    pipe.Send(QStringLiteral("Target.setDiscoverTargets"), {{QStringLiteral("discover"), true}},
              QString());
    BrowserCall(QStringLiteral("Target.createBrowserContext"), {}, [this](const QJsonObject& r) {
        FContext = r.value(QStringLiteral("browserContextId")).toString();
        FProcess->Pipe().Send(QStringLiteral("Browser.setDownloadBehavior"),
                              {{QStringLiteral("behavior"), QStringLiteral("deny")},
                               {QStringLiteral("browserContextId"), FContext},
                               {QStringLiteral("eventsEnabled"), true}},
                              QString());
        BrowserCall(QStringLiteral("Target.createTarget"),
                    {{QStringLiteral("url"), QStringLiteral("about:blank")},
                     {QStringLiteral("browserContextId"), FContext}},
                    [this](const QJsonObject& r) {
                        FTarget = r.value(QStringLiteral("targetId")).toString();
                        BrowserCall(QStringLiteral("Target.attachToTarget"),
                                    {{QStringLiteral("targetId"), FTarget},
                                     {QStringLiteral("flatten"), true}},
                                    [this](const QJsonObject& r) {
                                        PageOpened(r.value(QStringLiteral("sessionId")).toString());
                                    });
                    });
    });
}

// A command to the browser itself, answered later; a refusal ends the page.
void ChromiumBrowser::BrowserCall(const QString& method, const QJsonObject& params,
                                  std::function<void(const QJsonObject&)> then) {
    QPointer<ChromiumBrowser> self(this);
    FProcess->Pipe().Send(
        method, params, QString(),
        [self, method, then](const QJsonObject& result, const QString& error) {
            if (!self)
                return;
            if (!error.isEmpty())
                self->PageEnded(QStringLiteral("the browser refused %1: %2").arg(method, error));
            else
                then(result);
        });
}

// The page is ready once every domain it reports on has answered: events of a navigation sent
// before that may be missing.
void ChromiumBrowser::PageOpened(const QString& session) {
    FSession = session;
    QList<QPair<QString, QJsonObject>> setup{
        {QStringLiteral("Page.enable"), {}},
        {QStringLiteral("Runtime.enable"), {}},
        {QStringLiteral("Network.enable"), {}},
        {QStringLiteral("Page.setInterceptFileChooserDialog"), {{QStringLiteral("enabled"), true}}},
        // As in the embedded engine: window.open() gets no window, and a dialog is answered
        // before it opens (dismissed, no, cancelled).
        {QStringLiteral("Page.addScriptToEvaluateOnNewDocument"),
         {{QStringLiteral("source"), QString::fromLatin1(QuietWindowScript)}}},
        // Other windows it opens (links to a new window) wait for us, and are closed before
        // they load anything.
        {QStringLiteral("Target.setAutoAttach"),
         {{QStringLiteral("autoAttach"), true},
          {QStringLiteral("waitForDebuggerOnStart"), true},
          {QStringLiteral("flatten"), true},
          {QStringLiteral("filter"),
           QJsonArray{QJsonObject{{QStringLiteral("type"), QStringLiteral("page")},
                                  {QStringLiteral("exclude"), false}},
                      QJsonObject{{QStringLiteral("exclude"), true}}}}}},
        // While the page is held, the documents it asks for are refused before they are asked
        // of the server.
        {QStringLiteral("Fetch.enable"),
         {{QStringLiteral("patterns"),
           QJsonArray{QJsonObject{{QStringLiteral("urlPattern"), QStringLiteral("*")},
                                  {QStringLiteral("resourceType"), QStringLiteral("Document")},
                                  {QStringLiteral("requestStage"), QStringLiteral("Request")}}}}}},
        {QStringLiteral("Emulation.setDeviceMetricsOverride"), ViewSizeParams()},
        // The shell's generic families are its own; the desktop browser asks fontconfig.
        {QStringLiteral("Page.setFontFamilies"), DesktopFamiliesParams()},
        {QStringLiteral("Page.setFontSizes"),
         {{QStringLiteral("fontSizes"),
           QJsonObject{{QStringLiteral("standard"), 16}, {QStringLiteral("fixed"), 13}}}}},
    };
    setup += ControlCommands();
    auto left = std::make_shared<int>(int(setup.size()));
    QPointer<ChromiumBrowser> self(this);
    for (const auto& [method, params] : setup)
        FProcess->Pipe().Send(
            method, params, FSession,
            [self, left, method](const QJsonObject&, const QString& error) {
                if (!self)
                    return;
                if (!error.isEmpty())
                    self->PageEnded(
                        QStringLiteral("the browser refused %1: %2").arg(method, error));
                else if (--*left == 0)
                    self->PageReady();
            });
}

void ChromiumBrowser::PageReady() {
    FReady = true;
    for (auto& pending : std::exchange(FWaitingForPage, {}))
        FProcess->Pipe().Send(pending.method, pending.params, FSession, pending.answer);
    if (FReadyWaiter)
        FReadyWaiter();
}

QJsonObject ChromiumBrowser::ViewSizeParams() const {
    return {{QStringLiteral("width"), FViewSize.width()},
            {QStringLiteral("height"), FViewSize.height()},
            {QStringLiteral("deviceScaleFactor"), FControls.scale},
            {QStringLiteral("mobile"), false}};
}

// Only what differs from the browser's own: a capture without controls sends nothing more.
QList<QPair<QString, QJsonObject>> ChromiumBrowser::ControlCommands() const {
    QList<QPair<QString, QJsonObject>> commands;
    if (!FControls.userAgent.isEmpty())
        commands.append({QStringLiteral("Emulation.setUserAgentOverride"),
                         {{QStringLiteral("userAgent"), FControls.userAgent}}});
    if (!FControls.headers.isEmpty()) {
        QJsonObject headers;
        for (const HttpHeader& header : FControls.headers) {
            const QString name = QString::fromLatin1(header.name);
            const QString value = QString::fromUtf8(header.value);
            const QString before = headers.value(name).toString();
            headers.insert(name, before.isEmpty() ? value : before + QStringLiteral(", ") + value);
        }
        commands.append({QStringLiteral("Network.setExtraHTTPHeaders"),
                         {{QStringLiteral("headers"), headers}}});
    }
    if (!FControls.cookies.isEmpty()) {
        QJsonArray cookies;
        for (const PageCookie& cookie : FControls.cookies)
            cookies << CookieParams(cookie);
        commands.append(
            {QStringLiteral("Network.setCookies"), {{QStringLiteral("cookies"), cookies}}});
    }
    if (FControls.colorScheme != ColorScheme::PageDefault || FControls.reducedMotion)
        commands.append({QStringLiteral("Emulation.setEmulatedMedia"), MediaParams(FControls)});
    return commands;
}

// Before the page is there, the commands go with its set-up.
void ChromiumBrowser::SetControls(const CaptureControls& controls) {
    FControls = controls;
    if (!FReady)
        return;
    Send(QStringLiteral("Emulation.setDeviceMetricsOverride"), ViewSizeParams());
    for (const auto& [method, params] : ControlCommands())
        Send(method, params);
}

// Commands to the page keep their order, also those sent before it was there.
void ChromiumBrowser::SendToPage(const QString& method, const QJsonObject& params,
                                 DevToolsPipe::Answer answer) {
    if (FReady)
        FProcess->Pipe().Send(method, params, FSession, std::move(answer));
    else
        FWaitingForPage.push_back({method, params, std::move(answer)});
}

QCoro::Task<> ChromiumBrowser::AwaitReady() {
    if (FReady)
        co_return;
    EngineWait wait(QStringLiteral("page"), FTimeLimitMs);
    FReadyWaiter = wait.Finisher();
    try {
        co_await Await(wait);
    } catch (...) {
        FReadyWaiter = nullptr;
        throw;
    }
    FReadyWaiter = nullptr;
}

QCoro::Task<QJsonObject> ChromiumBrowser::Call(QString method, QJsonObject params, QString what) {
    if (!FEnded.isEmpty())
        throw VistrelError(QStringLiteral("The page can no longer be captured: %1").arg(FEnded));
    const QString named = what.isEmpty() ? method : what;
    // A page that let one call run out of time is busy: the next would only wait as long.
    if (FUnresponsive)
        throw VistrelError(QStringLiteral("The page did not answer in time (%1)").arg(named));
    co_await AwaitReady();
    EngineWait wait(named, FTimeLimitMs);
    auto answer = std::make_shared<QJsonObject>();
    auto failure = std::make_shared<QString>();
    auto finish = wait.Finisher();
    SendToPage(method, params,
               [answer, failure, finish](const QJsonObject& result, const QString& error) {
                   *answer = result;
                   *failure = error;
                   finish();
               });
    try {
        co_await Await(wait);
    } catch (const VistrelError&) {
        FUnresponsive = wait.TimedOut();
        throw;
    }
    if (!failure->isEmpty()) {
        FRefused = true;
        throw VistrelError(QStringLiteral("The browser refused %1: %2").arg(method, *failure));
    }
    co_return *answer;
}

// The capture's world goes with its document: a script under way there would never be
// answered (a meta refresh that navigates), so it is ended, and asked again in the new one.
void ChromiumBrowser::WorldLost() {
    FWorld = 0;
    if (!FEvaluating)
        return;
    FWorldLost = true;
    FCalls.AbortAll(QStringLiteral("The page's document went away"));
}

void ChromiumBrowser::Send(const QString& method, const QJsonObject& params) {
    SendToPage(method, params, nullptr);
}

// A page whose process has gone answers nothing more: waiting on would only run into the
// time limit.
QCoro::Task<> ChromiumBrowser::Await(EngineWait& wait) {
    if (!FEnded.isEmpty())
        throw VistrelError(QStringLiteral("The page can no longer be captured: %1").arg(FEnded));
    co_await FCalls.Await(wait);
}

QCoro::Task<> ChromiumBrowser::HoldPage(bool held) {
    FHeld = held;
    if (!held && !FRefreshHeld.isEmpty()) // let go, the page goes where it meant to
        Send(QStringLiteral("Page.navigate"),
             {{QStringLiteral("url"), std::exchange(FRefreshHeld, {})}});
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
        Stop();
}

// A page that stopped answering (a script that never ends) keeps its process busy: the next
// address gets a page and a process of its own.
void ChromiumBrowser::ReopenPage() {
    FUnresponsive = false;
    DevToolsPipe& pipe = FProcess->Pipe();
    pipe.Send(QStringLiteral("Target.disposeBrowserContext"),
              {{QStringLiteral("browserContextId"), FContext}}, QString());
    FTarget.clear();
    FSession.clear();
    FWorld = 0;
    OpenPage();
}

// This engine runs a meta refresh that is due at once already while the page is held: it is
// stopped, and made up for when the page is let go (unless a navigation came since).
void ChromiumBrowser::NavigationWhileHeld(const QJsonObject& params) {
    Stop();
    if (params.value(QStringLiteral("reason")).toString() == QLatin1String("metaTagRefresh"))
        FRefreshHeld = params.value(QStringLiteral("url")).toString();
}

void ChromiumBrowser::Navigate(const QString& address) {
    FRefreshHeld.clear();
    if (FUnresponsive)
        ReopenPage();
    FAddress = address;
    FHttpStatus = 0;
    FUnresponsive = false;
    FCompleted = FDownloadRefused = false;
    FEnded.clear();
    FFailed = false;
    FWorld = 0;
    if (IsBlank(address))
        SetStatus(QString());
    else
        SetStatus(QCoreApplication::translate("Window", "正在打开网页 %1...").arg(address));
    const QString url = QUrl::fromUserInput(address).toString(QUrl::FullyEncoded);
    QPointer<ChromiumBrowser> self(this);
    SendToPage(QStringLiteral("Page.navigate"), {{QStringLiteral("url"), url}},
               [self, address](const QJsonObject& result, const QString& error) {
                   if (self && self->FAddress == address)
                       self->NavigationAnswered(result, error);
               });
}

void ChromiumBrowser::Stop() {
    Send(QStringLiteral("Page.stopLoading"));
}

void ChromiumBrowser::Refresh() {
    FEnded.clear();
    FFailed = false;
    Send(QStringLiteral("Page.reload"));
}

// The page takes the size a moment later: Metrics waits for it.
void ChromiumBrowser::SetViewSize(const QSize& size) {
    FViewSize = size;
    Send(QStringLiteral("Emulation.setDeviceMetricsOverride"), ViewSizeParams());
}

// A navigation has a document once the page shows something else than the blank page it
// started from.
QCoro::Task<bool> ChromiumBrowser::HasDocument() {
    if (FAddress.isEmpty() || FFailed || (IsBlank(FLocation) && !IsBlank(FAddress)))
        co_return false;
    co_return co_await ShowsDocument(FAddress);
}

// Every screenshot paints the page anew: the position reached is the one painted next.
QCoro::Task<QPoint> ChromiumBrowser::ScrollTo(const QPoint& position) {
    co_return co_await ScrollNow(position);
}

// A screenshot waits for every part of the page (frames too) to be painted at the position it
// is at now. The page's own stream of frames (Page.startScreencast) is cheaper, but a frame of
// it may still lack a frame's content that was not yet drawn again.
QCoro::Task<QImage> ChromiumBrowser::PaintView() {
    const PaintedView view = co_await PaintViewSoon();
    co_return co_await Whole(view);
}

// Decoding a screen takes 5 to 20 ms: its top rows are read at once, the rest while the
// browser paints the next one.
QCoro::Task<PaintedView> ChromiumBrowser::PaintPartSoon(QRect part) {
    QJsonObject params = ScreenshotParams();
    QSizeF painted = FViewSize;
    if (!part.isNull() && part != QRect(QPoint(0, 0), FViewSize)) {
        // A clip is placed on the document from its left edge, also where the page scrolls to
        // negative positions (right to left).
        const QJsonObject metrics = co_await Call(QStringLiteral("Page.getLayoutMetrics"));
        const QJsonObject viewport = metrics.value(QStringLiteral("cssLayoutViewport")).toObject();
        params.insert(
            QStringLiteral("clip"),
            ClipParams(part, QPointF(viewport.value(QStringLiteral("pageX")).toDouble(),
                                     viewport.value(QStringLiteral("pageY")).toDouble())));
        painted = part.size();
    }
    const QJsonObject shot = co_await Call(QStringLiteral("Page.captureScreenshot"), params);
    const QByteArray png =
        QByteArray::fromBase64(shot.value(QStringLiteral("data")).toString().toLatin1());
    const QSize size = (painted * FControls.scale).toSize();
    const QImage top = ReadPngRows(png, TopRows);
    if (top.width() != size.width())
        co_return PaintedView(Decoded(png, size));
    co_return PaintedView(
        size, top, QtConcurrent::run(&FDecoding, [png, size] { return Decoded(png, size); }));
}

// A view of another size than asked for (a device scale) is scaled to it; null when unreadable.
QImage ChromiumBrowser::Decoded(const QByteArray& png, const QSize& size) {
    QImage view = ReadPngRows(png, size.height());
    if (view.size() == size || view.isNull())
        return view;
    view = QImage::fromData(png, "PNG");
    if (view.isNull())
        return view;
    return view.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB888);
}

// A script may move the page: the frame that shows it is the one proven by the caller.
// Page scripts cannot see or change the capture's world; it is made anew for each document.
QCoro::Task<int> ChromiumBrowser::CaptureWorld(QString what) {
    if (FWorld == 0)
        FWorld =
            (co_await Call(QStringLiteral("Page.createIsolatedWorld"), WorldParams(FTarget), what))
                .value(QStringLiteral("executionContextId"))
                .toInt();
    co_return FWorld;
}

QCoro::Task<QJsonObject> ChromiumBrowser::EvaluateOnce(QString script, QString what) {
    const int world = co_await CaptureWorld(what);
    co_return co_await Call(QStringLiteral("Runtime.evaluate"), EvaluateParams(script, world),
                            what);
}

// A script that throws gives no value, as one that returns nothing.
QCoro::Task<QVariant> ChromiumBrowser::Evaluate(QString script, QString what) {
    QJsonObject answer;
    bool again = false;
    FWorldLost = FRefused = false;
    FEvaluating = true;
    try {
        answer = co_await EvaluateOnce(script, what);
    } catch (const VistrelError&) {
        FEvaluating = false;
        if (!FWorldLost && !FRefused)
            throw;
        again = true;
    }
    FEvaluating = false;
    if (again) {
        FWorld = 0; // the document went away under the call: once more in the new one
        answer = co_await EvaluateOnce(script, what);
    }
    if (answer.contains(QStringLiteral("exceptionDetails")))
        co_return QVariant();
    const QJsonObject result = answer.value(QStringLiteral("result")).toObject();
    co_return result.value(QStringLiteral("value")).toVariant();
}

QCoro::Task<QVariant> ChromiumBrowser::RunPageScript(const QString& script) {
    const QJsonObject answer = co_await Call(QStringLiteral("Runtime.evaluate"),
                                             PageEvaluateParams(script), QStringLiteral("script"));
    if (answer.contains(QStringLiteral("exceptionDetails")))
        throw VistrelError(
            ExceptionText(answer.value(QStringLiteral("exceptionDetails")).toObject()));
    co_return answer.value(QStringLiteral("result"))
        .toObject()
        .value(QStringLiteral("value"))
        .toVariant();
}

// The main document's answer; the redirects before it come with the requests.
void ChromiumBrowser::ResponseReceived(const QJsonObject& params) {
    if (params.value(QStringLiteral("type")).toString() != QLatin1String("Document") ||
        params.value(QStringLiteral("frameId")).toString() != FTarget)
        return;
    FHttpStatus =
        params.value(QStringLiteral("response")).toObject().value(QStringLiteral("status")).toInt();
}

QCoro::Task<qint64> ChromiumBrowser::PageProcessId() {
    const QJsonArray processes =
        (co_await FProcess->Pipe().Call(FCalls, QStringLiteral("SystemInfo.getProcessInfo")))
            .value(QStringLiteral("processInfo"))
            .toArray();
    for (const QJsonValue& process : processes)
        if (process.toObject().value(QStringLiteral("type")).toString() ==
            QLatin1String("renderer"))
            co_return process.toObject().value(QStringLiteral("id")).toInteger();
    co_return 0;
}

void ChromiumBrowser::PageEvent(const QString& method, const QJsonObject& params, const QString&) {
    const QString frame = params.value(QStringLiteral("frameId")).toString();
    const bool main = frame == FTarget;
    if (method == QLatin1String("Page.frameStartedLoading") && main)
        LoadStarted();
    else if (method == QLatin1String("Page.loadEventFired"))
        LoadEnded(true);
    else if (method == QLatin1String("Page.frameStoppedLoading") && main)
        LoadEnded(false);
    else if (method == QLatin1String("Page.frameNavigated"))
        FrameNavigated(params.value(QStringLiteral("frame")).toObject());
    else if (method == QLatin1String("Page.navigatedWithinDocument") && main)
        FLocation = params.value(QStringLiteral("url")).toString(), emit NavigateComplete();
    else if (method == QLatin1String("Page.frameRequestedNavigation") && main && FHeld)
        NavigationWhileHeld(params);
    else if (method == QLatin1String("Target.attachedToTarget"))
        WindowOpened(params);
    else if (method == QLatin1String("Fetch.requestPaused"))
        DocumentAsked(params);
    else if (method == QLatin1String("Page.javascriptDialogOpening"))
        DialogOpened(params);
    else if (method == QLatin1String("Runtime.executionContextsCleared"))
        WorldLost();
    else if (method == QLatin1String("Runtime.executionContextDestroyed") &&
             params.value(QStringLiteral("executionContextId")).toInt() == FWorld)
        WorldLost();
    else if (method == QLatin1String("Network.requestWillBeSent"))
        RequestCounted(1, 0);
    else if (method == QLatin1String("Network.responseReceived"))
        ResponseReceived(params);
    else if (method == QLatin1String("Network.loadingFinished") ||
             method == QLatin1String("Network.loadingFailed"))
        RequestCounted(0, 1);
}

void ChromiumBrowser::BrowserEvent(const QString& method, const QJsonObject& params) {
    const QJsonObject info = params.value(QStringLiteral("targetInfo")).toObject();
    if (method == QLatin1String("Target.targetCreated"))
        TargetCreated(info);
    else if (method == QLatin1String("Target.targetCrashed") &&
             params.value(QStringLiteral("targetId")).toString() == FTarget)
        PageEnded(EndedText(params.value(QStringLiteral("status")).toString()));
    else if (method == QLatin1String("Browser.downloadWillBegin") &&
             params.value(QStringLiteral("frameId")).toString() == FTarget)
        DownloadStarted(params);
}

void ChromiumBrowser::FrameNavigated(const QJsonObject& frame) {
    if (frame.contains(QStringLiteral("parentId")))
        return;
    FWorld = 0;
    FLocation = frame.value(QStringLiteral("url")).toString();
    emit NavigateComplete();
}

void ChromiumBrowser::LoadStarted() {
    FLoading = true;
    FCompleted = FDownloadRefused = false;
    FRequests = FRequestsDone = 0;
    emit ProgressChange(10, 100);
}

// The load event of the top-level document, or its load stopped without one.
void ChromiumBrowser::LoadEnded(bool complete) {
    if (FCompleted || (!FLoading && !FDownloadRefused))
        return;
    complete = complete || FDownloadRefused;
    FLoading = false;
    if (FLoadWaiter)
        FLoadWaiter();
    emit ProgressChange(-1, 100);
    if (FHeld || FFailed)
        return;
    if (!complete) {
        SetStatus(QString());
        return;
    }
    const bool blank = IsBlank(FLocation);
    if (!blank)
        SetStatus(QCoreApplication::translate("Window", "完成"));
    // the blank page of an earlier capture finishing under a new navigation is not it
    if (blank && !IsBlank(FAddress))
        return;
    FCompleted = true;
    emit DocumentComplete();
}

// The browser answers a navigation once it has its document, or with the reason it has none;
// an error page the server sent (404, 500) is still the page at that address. A navigation
// that turned into a download is told by the download.
void ChromiumBrowser::NavigationAnswered(const QJsonObject& result, const QString& error) {
    const QString failure =
        error.isEmpty() ? result.value(QStringLiteral("errorText")).toString() : error;
    if (failure.isEmpty() || failure == QLatin1String("net::ERR_ABORTED"))
        return;
    FFailed = true;
    emit ProgressChange(-1, 100);
    SetStatus(QString());
    emit LoadFailed(failure + FileAccessHint(failure));
}

// Started by root, the browser reads local pages as its unprivileged user.
QString ChromiumBrowser::FileAccessHint(const QString& failure) const {
    const QString user = FProcess->UserName();
    const bool local = QUrl(FAddress).isLocalFile() || FAddress.startsWith(u'/');
    if (user.isEmpty() || !local ||
        (failure != QLatin1String("net::ERR_ACCESS_DENIED") &&
         failure != QLatin1String("net::ERR_FILE_NOT_FOUND")))
        return QString();
    return QStringLiteral(" (run as root, Chromium reads pages as the user %1: the page and its "
                          "folders must be readable by others, or capture with /e:qt)")
        .arg(user);
}

// Nothing is ever shown: alerts are dismissed, confirm() is false, prompt() is cancelled;
// a page that asks before it is left is left.
void ChromiumBrowser::DialogOpened(const QJsonObject& params) {
    const bool leave =
        params.value(QStringLiteral("type")).toString() == QLatin1String("beforeunload");
    Send(QStringLiteral("Page.handleJavaScriptDialog"), {{QStringLiteral("accept"), leave}});
}

// Nothing is ever saved but the program's own files. An address that turns out to be a
// download brings no page at all: its load has failed. A download that a page starts is
// only refused.
void ChromiumBrowser::DownloadStarted(const QJsonObject& params) {
    if (IsBlank(FAddress))
        return;
    if (!IsBlank(FLocation)) { // the page followed a link: its own load ends with that one
        FDownloadRefused = true;
        if (!FLoading && !FCompleted)
            QTimer::singleShot(0, this, [this] { LoadEnded(true); });
        return;
    }
    FFailed = true;
    emit ProgressChange(-1, 100);
    SetStatus(QString());
    emit LoadFailed(QStringLiteral("it is a download (%1), not a page")
                        .arg(params.value(QStringLiteral("suggestedFilename")).toString()));
}

// A window the page opened, held before it loads anything: closed.
void ChromiumBrowser::WindowOpened(const QJsonObject& params) {
    const QJsonObject info = params.value(QStringLiteral("targetInfo")).toObject();
    FProcess->Pipe().Send(QStringLiteral("Target.closeTarget"),
                          {{QStringLiteral("targetId"), info.value(QStringLiteral("targetId"))}},
                          QString());
    emit NewWindowRefused();
}

// Documents go ahead unless the page is held and it is the page's own (frames may load).
void ChromiumBrowser::DocumentAsked(const QJsonObject& params) {
    const QJsonValue request = params.value(QStringLiteral("requestId"));
    const bool refused = FHeld && params.value(QStringLiteral("frameId")).toString() == FTarget;
    if (refused)
        Send(QStringLiteral("Fetch.failRequest"),
             {{QStringLiteral("requestId"), request},
              {QStringLiteral("errorReason"), QStringLiteral("Aborted")}});
    else
        Send(QStringLiteral("Fetch.continueRequest"), {{QStringLiteral("requestId"), request}});
}

// Windows the page opens are closed as they come.
void ChromiumBrowser::TargetCreated(const QJsonObject& info) {
    const QString opener = info.value(QStringLiteral("openerId")).toString();
    if (FTarget.isEmpty() || opener != FTarget ||
        info.value(QStringLiteral("targetId")).toString() == FTarget)
        return;
    FProcess->Pipe().Send(QStringLiteral("Target.closeTarget"),
                          {{QStringLiteral("targetId"), info.value(QStringLiteral("targetId"))}},
                          QString());
}

void ChromiumBrowser::PageEnded(const QString& reason) {
    if (!FEnded.isEmpty())
        return;
    FEnded = reason;
    FLoading = false;
    FWorld = 0;
    FCalls.AbortAll(QStringLiteral("The page can no longer be captured: %1").arg(FEnded));
    emit LoadFailed(FEnded);
}

void ChromiumBrowser::RequestCounted(int started, int done) {
    FRequests += started;
    FRequestsDone += done;
    if (FLoading && FRequests > 0)
        emit ProgressChange(10 + 80 * std::min(FRequestsDone, FRequests) / FRequests, 100);
}

void ChromiumBrowser::SetStatus(const QString& text) {
    emit StatusTextChange(text);
}
