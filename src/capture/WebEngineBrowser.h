#pragma once

#include "capture/Browser.h"
#include "capture/BrowserPage.h"

#include <QPointer>
#include <QVariant>
#include <QWebEngineView>

#include <functional>

class QWebEngineLoadingInfo;

// The browser on Qt WebEngine. Page scripts cannot see or change what the capture runs: its
// scripts run in a world of their own. A scroll counts as done only when the view has painted
// a frame that the engine produced at the new position.
class WebEngineBrowser : public Browser {
    Q_OBJECT

public:
    explicit WebEngineBrowser(QObject* parent = nullptr);
    ~WebEngineBrowser() override;

    QWebEngineView* View() const { return FView; }
    QWidget* Widget() const override;
    void SetQuiet(bool quiet) override;
    void SetTimeLimit(int milliseconds) { FTimeLimitMs = milliseconds; }

    void Navigate(const QString& address) override;
    void Stop() override;
    void Refresh() override;
    QString LocationURL() const override;
    void SetViewSize(const QSize& size) override;
    QSize ViewSize() const override;
    bool HasDocument() override;
    DocumentMetrics Metrics() override;
    QPoint ScrollTo(const QPoint& position) override;
    QImage PaintView() override;
    int ScrollBarWidth() const override { return FScrollBarWidth; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QVariant Evaluate(const QString& script, const QString& what);
    QList<int> EvaluateNumbers(const QString& script, int count, const QString& what);
    QPoint ScrollNow(const QPoint& position);
    void WaitForFrameAt(const QPoint& position);
    void WaitForViewSize();
    void PrepareFirstFrame(const QPoint& position);
    void WaitForAnimationFrames();
    void WaitForQuietView();
    void WatchRenderWidget();
    void FrameArrived(const QPointF& position);
    void LoadingChanged(const QWebEngineLoadingInfo& info);
    void ProcessEnded(int status);
    void SetStatus(const QString& text);
    void CheckFrame();

    QPointer<QWebEngineView> FView;
    QPointer<BrowserPage> FPage;
    QPointer<QWidget> FRenderWidget;
    QString FTarget;
    QString FStatus;
    int FScrollBarWidth = 15;
    int FTimeLimitMs = 15000;
    // The position of the newest frame the engine delivered, and whether the view has
    // painted since it came.
    QPoint FFramePosition;
    bool FPaintedSinceFrame = false;
    int FPaints = 0;
    bool FNeedFreshFrame = true;
    QPoint FWantedFrame;
    std::function<void()> FFrameWaiter;
};
