// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/CaptureJob.h"
#include "capture/PageRenderer.h"

#include <QImage>
#include <QObject>
#include <QTimer>

#include <qcoro/qcorotask.h>

#include <functional>
#include <optional>

class Browser;

enum class CaptureFailure {
    LoadFailed,       // the page could not be loaded, or nothing of it arrived in time
    CaptureFailed,    // the page was there, the capture of it failed
    NothingToCapture, // the browser holds no document
    Stopped,          // Stop() ended the run
};

// Runs one capture on a browser: loads the job's address at its browser size, waits for the
// top-level document within the load time limit, scrolls and pastes the page into one picture,
// and reports through signals. It creates no window; whoever shows the browser's view (an engine
// view must be shown to paint) and whoever writes the files is its caller.
//
// A run is one coroutine that reads as it happens: wait for the load, capture, report. What
// happens is decided by the state of the run, not by which event comes first: the load's end,
// the time limit and a stop only mark what happened and wake the run, which acts on the marks.
// So an event that arrives while an engine call is awaited never starts a second one.
class CaptureSession : public QObject {
    Q_OBJECT

public:
    explicit CaptureSession(Browser& browser, QObject* parent = nullptr);
    ~CaptureSession() override;

    void Start(const CaptureJob& job);
    // Captures what the browser shows now, laid out again at this size (the visible browser
    // window's capture button).
    void CaptureNow(const QSize& browserSize);
    // Ends a run part way: the engine call it awaits ends at once, and it reports Stopped.
    void Stop();
    // Sees the picture while it is made (see PageRenderer::SetPictureWatcher).
    void SetPictureWatcher(PageRenderer::PictureWatcher watcher) { FWatcher = std::move(watcher); }
    bool Running() const { return FState == State::Loading || FState == State::Capturing; }
    Browser& browser() const { return FBrowser; }
    // What the last run learnt of its page, once it reported.
    const PageFacts& Facts() const { return FFacts; }

signals:
    void LoadProgress(int progress, int maximum);
    // The load is over (or its time is up): the page is being captured.
    void CaptureStarted();
    void ScreensProgress(int done, int planned);
    void Captured(const QImage& picture);
    void Failed(CaptureFailure failure, const QString& message);
    // The run goes on, but the user should know (the page was captured before it finished).
    void Warning(const QString& message);

private:
    enum class State { Idle, Loading, Capturing, Done };

    void DocumentComplete();
    void LoadFailed(const QString& reason);
    void Wake();
    QCoro::Task<> Load();
    QCoro::Task<> Run();
    QCoro::Task<> NextMark();
    QCoro::Task<> CaptureAtLimit();
    QCoro::Task<> CaptureUnlessRefreshed();
    QCoro::Task<bool> RefreshComing();
    QCoro::Task<> Capture();
    QCoro::Task<> ReadFacts();
    QCoro::Task<bool> ApplyControls(QDeadlineTimer deadline);
    QCoro::Task<bool> CheckHttpStatus();
    QCoro::Task<bool> WaitUntil(QString script, bool pageWorld, QString what,
                                QDeadlineTimer deadline);
    QCoro::Task<QImage> RenderHidingElements(PageRenderer& renderer);
    void Fail(CaptureFailure failure, const QString& message);
    void Report();
    QString LimitText() const;

    Browser& FBrowser;
    PageRenderer::PictureWatcher FWatcher;
    QTimer FLimit;
    // A page that sends itself elsewhere by a meta refresh is given the time it asks for.
    QTimer FRefreshWait;
    int FRefreshes = 0;
    CaptureJob FJob;
    PageFacts FFacts;
    State FState = State::Idle;
    std::optional<QCoro::Task<>> FRun;
    std::function<void()> FWake;
    bool FComplete = false;
    bool FLimitPassed = false;
    bool FStopRequested = false;
    QString FLoadFailure;
    // The outcome, reported once the loop has let go.
    QImage FPicture;
    CaptureFailure FFailure = CaptureFailure::CaptureFailed;
    QString FMessage;
};
