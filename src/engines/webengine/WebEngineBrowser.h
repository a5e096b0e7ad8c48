// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/ScriptedBrowser.h"
#include "engines/webengine/BrowserPage.h"

#include <QPointer>
#include <QVariant>
#include <QWebEngineView>

#include <functional>

class EngineWait;
class QWebEngineDownloadRequest;
class QWebEngineLoadingInfo;
class QWebEngineProfile;

// The browser on Qt WebEngine. Page scripts cannot see or change what the capture runs: its
// scripts run in a world of their own. A scroll counts as done only when the view has painted
// a frame that the engine produced at the new position.
class WebEngineBrowser : public ScriptedBrowser {
    Q_OBJECT

public:
    // Without a profile the page uses the engine's default one.
    explicit WebEngineBrowser(QObject* parent = nullptr, QWebEngineProfile* profile = nullptr);
    ~WebEngineBrowser() override;

    QWebEngineView* View() const { return FView; }
    QWidget* Widget() const override;
    void SetQuiet(bool quiet) override;
    QCoro::Task<> HoldPage(bool held) override;
    void SetTimeLimit(int milliseconds) override { FTimeLimitMs = milliseconds; }
    QCoro::Task<qint64> PageProcessId() override;

    void Navigate(const QString& address) override;
    void Stop() override;
    void Refresh() override;
    QString LocationURL() const override;
    void SetViewSize(const QSize& size) override;
    QSize ViewSize() const override;
    QCoro::Task<bool> HasDocument() override;
    QCoro::Task<QPoint> ScrollTo(const QPoint& position) override;
    QCoro::Task<QImage> PaintView() override;
    QCoro::Task<PaintedView> PaintPartSoon(QRect part) override;
    QCoro::Task<bool> AwaitPaint(int milliseconds) override;
    QCoro::Task<QVariant> RunPageScript(const QString& script) override;
    void SetControls(const CaptureControls& controls) override;
    int HttpStatus() const override { return FHttpStatus; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    QCoro::Task<QVariant> Evaluate(QString script, QString what) override;
    int TimeLimitMs() const override { return FTimeLimitMs; }

private:
    QCoro::Task<> Await(EngineWait& wait);
    QCoro::Task<QVariant> EvaluateInWorld(QString script, QString what, quint32 world);
    // Of `part` of the view; all of it when the part is null.
    QImage GrabView(const QRect& part = QRect());
    QCoro::Task<> WaitForFrameAt(QPoint position);
    QCoro::Task<> AwaitPaints(int paints, EngineWait& wait);
    bool FrameShown(int paints) const;
    QCoro::Task<> PrepareFirstFrame(QPoint position);
    QCoro::Task<> WaitForAnimationFrames();
    QCoro::Task<> WaitForQuietView();
    void WatchRenderWidget();
    void FrameArrived(const QPointF& position);
    void LoadingChanged(const QWebEngineLoadingInfo& info);
    void ProcessEnded(int status);
    void DownloadRequested(QWebEngineDownloadRequest* download);
    void AddressIsDownload(const QString& fileName);
    void PageDownloadRefused(const QUrl& url);
    bool HeldLoad(const QWebEngineLoadingInfo& info);
    void LoadEnded();
    void SetStatus(const QString& text);
    void CheckFrame();

    QPointer<QWebEngineView> FView;
    QPointer<BrowserPage> FPage;
    QPointer<QWidget> FRenderWidget;
    QString FTarget;
    QString FStatus;
    // Why the page's process is gone, until the next navigation starts a new one.
    QString FEnded;
    bool FLoading = false;
    int FHttpStatus = 0;
    std::function<void()> FLoadWaiter;
    // Downloads the page started by following a link: refused, they end its load.
    QList<QUrl> FRefusedDownloads;
    QUrl FLastStopped;
    int FTimeLimitMs = 15000;
    // The position of the newest frame the engine delivered, and how often the view has
    // painted since it came.
    QPoint FFramePosition;
    int FPaintsSinceFrame = 0;
    int FPaints = 0;
    // Frames keep coming unasked (an animation): the first paint after a scroll may still show
    // the frame before it.
    bool FFlowing = false;
    bool FGrabbing = false;
    int FPaintsWanted = 1;
    bool FNeedFreshFrame = true;
    QPoint FWantedFrame;
    std::function<void()> FFrameWaiter;
    // Paints since the last PaintView, and who waits for the next one.
    int FPaintsSinceGrab = 0;
    std::function<void()> FPaintWaiter;
};
