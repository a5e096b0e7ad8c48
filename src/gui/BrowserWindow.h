// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/Browser.h"
#include "capture/CaptureSession.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class StyledButton;
class StyledProgressBar;

// The capture browser window. Out of sight (hidden mode) it loads the page and captures it as
// soon as the top-level document is complete; shown (visible mode) it is a small browser in
// which the user finds the page and captures it with the capture button.
class BrowserWindow : public QDialog {
    Q_OBJECT

public:
    // Without a browser the window makes its own on Qt WebEngine, and captures out of sight
    // on the engine each job asks for.
    explicit BrowserWindow(Browser* browser = nullptr, QWidget* parent = nullptr);
    ~BrowserWindow() override;

    Browser* pageBrowser = nullptr;
    QLabel* bannerPicture = nullptr;
    QLineEdit* addressEdit = nullptr;
    StyledButton* stopButton = nullptr;
    StyledButton* refreshButton = nullptr;
    StyledButton* captureButton = nullptr;
    QLabel* statusBarPicture = nullptr;
    QLabel* statusLabel = nullptr;
    StyledProgressBar* progressBar = nullptr;
    bool FCaptured = false;
    bool FButtonCapture = false;

    void SetBrowserSize(const QSize& size);
    // Hidden mode: shown without appearing on screen until the capture closes it (a view that
    // is not shown neither paints nor answers scripts).
    void ShowHidden();
    // Hidden mode from the start: loads the job's page out of sight and captures it once its
    // top-level document is complete.
    void StartHidden(const CaptureJob& job);
    // Visible mode: centred, modal, a 780 x 457 browser; returns when the window has closed.
    int ShowModalCentred();
    // Captures what the browser holds now; nothing happens when it holds no document.
    void CapturePage();
    // A load out of sight that is still under way will not be captured any more.
    void CancelCapture() { FSession->Stop(); }
    bool Capturing() const { return FSession->Running(); }
    CaptureSession& Session() { return *FSession; }
    // The session a capture of this job out of sight runs in; null when its engine cannot
    // start (the failure is reported).
    CaptureSession* HiddenSessionFor(const CaptureJob& job);

    void WindowShown();
    void WindowClosing();
    void BrowserLoadFailed(const QString& reason);
    void BrowserProgressChange(int progress, int maximum);
    void BrowserStatusTextChange(const QString& text);
    void BrowserNavigateComplete();
    void AddressEntered();
    void StopClick();
    void RefreshClick();
    void CaptureClick();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateComponents();
    void ConnectBrowser();
    void ConnectSession(CaptureSession* session);
    QWidget* BrowserWidget() const;
    void SessionCaptureStarted();
    void SessionScreensProgress(int done, int planned);
    void ShowWorking(bool working);
    void SessionCaptured(const QImage& picture);
    void SessionFailed(CaptureFailure failure, const QString& message);
    void ReportLoadFailure(const QString& message);
    void FinishCapture();
    void ReportCaptureFailure(const QString& message);
    void MoveBrowserToCaptureHost();
    void MoveBrowserHome();
    void AwaitButtonCapture();
    void ButtonCaptureEnded();

    QPointer<QWidget> FBrowserWidget;
    QWidget* FCaptureHost = nullptr;
    // The session of the run under way: the window's own, or the one on Chromium.
    CaptureSession* FSession = nullptr;
    CaptureSession* FWindowSession = nullptr;
    bool FOwnBrowser = false;
    std::unique_ptr<Browser> FChromium;
    CaptureSession* FChromiumSession = nullptr;
    bool FHiddenMode = true;
    bool FWorking = false;
    bool FClosing = false;
    bool FFailureReported = false;
    bool FShowAgain = false;
    // A capture the button started is under way out of sight; who waits for its end.
    bool FButtonCaptureStarted = false;
    bool FButtonCaptureRunning = false;
    std::function<void()> FButtonCaptureEnded;
};

extern BrowserWindow* theBrowserWindow;
