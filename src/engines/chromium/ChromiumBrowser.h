// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/ScriptedBrowser.h"
#include "engines/chromium/ChromiumProcess.h"

#include <QJsonObject>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <vector>

class EngineWait;

// The browser on headless Chromium over the DevTools protocol: a page of its own, with its own
// cookies and storage, in a browser that may serve other pages too. Every PaintView is a new
// screenshot of the page as it is now. The capture's scripts run in a world of their own.
class ChromiumBrowser : public ScriptedBrowser {
    Q_OBJECT

public:
    // Without a process, the page starts a browser of its own. Throws VistrelError when the
    // browser is missing or does not answer.
    explicit ChromiumBrowser(std::shared_ptr<ChromiumProcess> process = nullptr,
                             QObject* parent = nullptr);
    ~ChromiumBrowser() override;

    void SetTimeLimit(int milliseconds) override { FTimeLimitMs = milliseconds; }
    void SetQuiet(bool) override {} // it never shows a dialog
    QCoro::Task<> HoldPage(bool held) override;
    // Waits until the page is there (it is made without waiting); throws VistrelError when it
    // cannot be made.
    QCoro::Task<> AwaitReady() override;
    // The page's own process, when it has one.
    QCoro::Task<qint64> PageProcessId() override;

    void Navigate(const QString& address) override;
    void Stop() override;
    void Refresh() override;
    QString LocationURL() const override { return FLocation; }
    void SetViewSize(const QSize& size) override;
    QSize ViewSize() const override { return FViewSize; }
    QCoro::Task<bool> HasDocument() override;
    QCoro::Task<QPoint> ScrollTo(const QPoint& position) override;
    QCoro::Task<QImage> PaintView() override;
    QCoro::Task<PaintedView> PaintPartSoon(QRect part) override;
    // Beside busy cores, the screen after a clipped screenshot came out with rows of the page's
    // background where it was not yet drawn: a clip costs the same frame anyway.
    bool PaintsPartsInPlace() const override { return false; }
    QCoro::Task<QVariant> RunPageScript(const QString& script) override;
    void SetControls(const CaptureControls& controls) override;
    int HttpStatus() const override { return FHttpStatus; }

protected:
    QCoro::Task<QVariant> Evaluate(QString script, QString what) override;
    int TimeLimitMs() const override { return FTimeLimitMs; }

private:
    void OpenPage();
    void BrowserCall(const QString& method, const QJsonObject& params,
                     std::function<void(const QJsonObject&)> then);
    void PageOpened(const QString& session);
    void PageReady();
    QJsonObject ViewSizeParams() const;
    QList<QPair<QString, QJsonObject>> ControlCommands() const;
    void ResponseReceived(const QJsonObject& params);
    void SendToPage(const QString& method, const QJsonObject& params, DevToolsPipe::Answer answer);
    void ReopenPage();
    // `what` names the wait in its time-out message; the method when empty.
    QCoro::Task<QJsonObject> Call(QString method, QJsonObject params = {}, QString what = {});
    void Send(const QString& method, const QJsonObject& params = {});
    QCoro::Task<QJsonObject> EvaluateOnce(QString script, QString what);
    QCoro::Task<int> CaptureWorld(QString what);
    void WorldLost();
    QCoro::Task<> Await(EngineWait& wait);

    void PageEvent(const QString& method, const QJsonObject& params, const QString& session);
    void BrowserEvent(const QString& method, const QJsonObject& params);
    void FrameNavigated(const QJsonObject& frame);
    void LoadStarted();
    void LoadEnded(bool complete);
    void NavigationAnswered(const QJsonObject& result, const QString& error);
    void DialogOpened(const QJsonObject& params);
    QString FileAccessHint(const QString& failure) const;
    void NavigationWhileHeld(const QJsonObject& params);
    void DownloadStarted(const QJsonObject& params);
    void TargetCreated(const QJsonObject& info);
    void WindowOpened(const QJsonObject& params);
    void DocumentAsked(const QJsonObject& params);
    void PageEnded(const QString& reason);
    void RequestCounted(int started, int done);
    void SetStatus(const QString& text);
    static QImage Decoded(const QByteArray& png, const QSize& size);

    std::shared_ptr<ChromiumProcess> FProcess;
    QString FContext; // the page's own cookies and storage
    QString FTarget;
    QString FSession;
    QString FAddress;  // what Navigate was last asked for
    QString FLocation; // the address the page shows
    QSize FViewSize{1024, 768};
    CaptureControls FControls;
    int FHttpStatus = 0;
    int FTimeLimitMs = 15000;
    int FWorld = 0;
    // A script is under way; its world went away under it; the browser refused the last call.
    bool FEvaluating = false;
    bool FWorldLost = false;
    bool FRefused = false;
    bool FLoading = false;
    bool FHeld = false;
    QString FRefreshHeld; // a meta refresh stopped while the page was held
    bool FUnresponsive = false;
    bool FCompleted = false;       // DocumentComplete sent for this navigation
    bool FDownloadRefused = false; // a link it followed was a download
    bool FFailed = false;          // the current navigation failed: its error page is not the page
    QString FEnded;                // why the page's process is gone, until the next navigation
    int FRequests = 0;
    int FRequestsDone = 0;
    // Until the page is there, what is sent to it waits here.
    struct Command {
        QString method;
        QJsonObject params;
        DevToolsPipe::Answer answer;
    };
    bool FReady = false;
    std::vector<Command> FWaitingForPage;
    std::function<void()> FReadyWaiter;
    std::function<void()> FLoadWaiter;
    // Screenshots are decoded here while the next one is painted; last, so that it is done
    // before the rest goes.
    QThreadPool FDecoding;
};
