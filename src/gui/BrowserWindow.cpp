// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/BrowserWindow.h"

#include "capture/Browser.h"
#include "common/VistrelError.h"
#include "engines/CaptureBrowser.h"
#include "engines/webengine/WebEngineBrowser.h"
#include "gui/ClickableImage.h"
#include "gui/FormBuilder.h"
#include "gui/MainWindow.h"
#include "gui/widgets/StyledButton.h"
#include "gui/widgets/StyledProgressBar.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QScreen>
#include <QShowEvent>

BrowserWindow* theBrowserWindow = nullptr;

namespace {

const QSize BrowsingSize(780, 457);
const QSize LaidOutSize(778, 457);
constexpr int BannerHeight = 42;
constexpr int BottomBarHeight = 21;

QString BlankPage() {
    return QStringLiteral("about:blank");
}

} // namespace

BrowserWindow::BrowserWindow(Browser* browser, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    theBrowserWindow = this;
    setObjectName(QStringLiteral("browserWindow"));
    setWindowTitle(QStringLiteral("Vistrel Pro"));
    QFont small = font();
    small.setPixelSize(12);
    setFont(small);
    FOwnBrowser = !browser;
    if (!browser)
        browser = new WebEngineBrowser(this);
    else if (!browser->parent())
        browser->setParent(this);
    pageBrowser = browser;
    FSession = FWindowSession = new CaptureSession(*browser, this);
    CreateComponents();
    ConnectBrowser();
    SetBrowserSize(LaidOutSize);
}

BrowserWindow::~BrowserWindow() {
    ShowWorking(false);
    delete FChromiumSession; // before the browser it captures on
    FChromium.reset();
    delete FCaptureHost;
    if (theBrowserWindow == this)
        theBrowserWindow = nullptr;
}

void BrowserWindow::CreateComponents() {
    bannerPicture =
        PlacePicture(this, "bannerPicture", QStringLiteral(":/artwork/snap_banner.png"), 0, 0);
    bannerPicture->setGeometry(0, 0, 780, BannerHeight);
    addressEdit = Place<QLineEdit>(this, "addressEdit", QRect(80, 12, 413, 14));
    addressEdit->setFrame(false);
    addressEdit->setText(BlankPage());
    stopButton = PlaceButton(this, "stopButton", QT_TRANSLATE_NOOP("Window", "停止(&T)"),
                             QRect(504, 9, 60, 20));
    refreshButton = PlaceButton(this, "refreshButton", QT_TRANSLATE_NOOP("Window", "刷新(&R)"),
                                QRect(570, 9, 60, 20));
    captureButton = PlaceButton(this, "captureButton", QT_TRANSLATE_NOOP("Window", "捕捉此页"),
                                QRect(655, 5, 120, 26));
    // Enter in the address box must only navigate: a dialog's default button would take it too
    for (StyledButton* button : {stopButton, refreshButton, captureButton})
        button->setAutoDefault(false);
    QFont bold = captureButton->font();
    bold.setBold(true);
    captureButton->setFont(bold);
    QPalette text = captureButton->palette();
    text.setColor(QPalette::ButtonText, QColor(83, 83, 83));
    captureButton->setPalette(text);
    FBrowserWidget = pageBrowser->Widget();
    if (!FBrowserWidget)
        FBrowserWidget = new QWidget; // an engine without a view still takes the place
    FBrowserWidget->setParent(this);
    FBrowserWidget->setObjectName(QStringLiteral("pageBrowser"));
    statusBarPicture =
        PlacePicture(this, "statusBarPicture", QStringLiteral(":/artwork/snap_bottom.png"), 0, 498);
    statusLabel = PlaceLabel(this, "statusLabel", QString(), 24, 504, 753, 13);
    progressBar = Place<StyledProgressBar>(this, "progressBar", QRect(600, 503, 175, 14));
    progressBar->setSmooth(true);
    connect(addressEdit, &QLineEdit::returnPressed, this, &BrowserWindow::AddressEntered);
    connect(stopButton, &QPushButton::clicked, this, &BrowserWindow::StopClick);
    connect(refreshButton, &QPushButton::clicked, this, &BrowserWindow::RefreshClick);
    connect(captureButton, &QPushButton::clicked, this, &BrowserWindow::CaptureClick);
}

void BrowserWindow::ConnectBrowser() {
    Browser* browser = pageBrowser;
    ConnectSession(FWindowSession);
    connect(browser, &Browser::LoadFailed, this, &BrowserWindow::BrowserLoadFailed);
    connect(browser, &Browser::ProgressChange, this, &BrowserWindow::BrowserProgressChange);
    connect(browser, &Browser::StatusTextChange, this, &BrowserWindow::BrowserStatusTextChange);
    connect(browser, &Browser::NavigateComplete, this, &BrowserWindow::BrowserNavigateComplete);
}

void BrowserWindow::ConnectSession(CaptureSession* session) {
    connect(session, &CaptureSession::CaptureStarted, this, &BrowserWindow::SessionCaptureStarted);
    connect(session, &CaptureSession::ScreensProgress, this,
            &BrowserWindow::SessionScreensProgress);
    connect(session, &CaptureSession::Captured, this, &BrowserWindow::SessionCaptured);
    connect(session, &CaptureSession::Failed, this, &BrowserWindow::SessionFailed);
}

// Chromium is started for the first capture that asks for it and kept for the next ones;
// one that failed is not trusted again. Null when it cannot start: the failure is reported.
CaptureSession* BrowserWindow::HiddenSessionFor(const CaptureJob& job) {
    if (!FOwnBrowser || !CapturesOnChromium(job.engine))
        return FWindowSession;
    if (!FChromium) {
        try {
            FChromium = NewCaptureBrowser(job);
        } catch (const VistrelError& error) {
            ShowHidden();
            SessionFailed(CaptureFailure::LoadFailed, error.message());
            return nullptr;
        }
        connect(FChromium.get(), &Browser::ProgressChange, this,
                &BrowserWindow::BrowserProgressChange);
        connect(FChromium.get(), &Browser::StatusTextChange, this,
                &BrowserWindow::BrowserStatusTextChange);
        FChromiumSession = new CaptureSession(*FChromium, this);
        ConnectSession(FChromiumSession);
    }
    return FChromiumSession;
}

QWidget* BrowserWindow::BrowserWidget() const {
    return FBrowserWidget;
}

// The bottom bar follows the browser, and the window grows to hold a larger browser.
void BrowserWindow::SetBrowserSize(const QSize& size) {
    pageBrowser->SetViewSize(size);
    if (FCaptureHost && BrowserWidget()->parentWidget() == FCaptureHost) {
        BrowserWidget()->setGeometry(QRect(QPoint(0, 0), size));
        FCaptureHost->resize(size);
        return;
    }
    BrowserWidget()->setGeometry(QRect(QPoint(0, BannerHeight), size));
    const int bottom = BannerHeight + size.height() - 1;
    statusBarPicture->move(0, bottom);
    statusLabel->move(24, bottom + 6);
    progressBar->move(600, bottom + 5);
    setFixedSize(qMax(780, size.width()), BannerHeight + size.height() + BottomBarHeight);
}

void BrowserWindow::ShowHidden() {
    FHiddenMode = true;
    pageBrowser->SetQuiet(true);
    if (isVisible()) {
        WindowShown();
        return;
    }
    setAttribute(Qt::WA_DontShowOnScreen, true);
    show();
}

void BrowserWindow::StartHidden(const CaptureJob& job) {
    addressEdit->setText(job.address);
    CaptureSession* session = HiddenSessionFor(job);
    if (!session)
        return;
    FSession = session;
    if (job.browserSize.isValid())
        SetBrowserSize(job.browserSize);
    ShowHidden();
    ShowWorking(true); // from the load on, not only once the screens are taken
    FSession->Start(job);
}

int BrowserWindow::ShowModalCentred() {
    FHiddenMode = false;
    FSession = FWindowSession;
    pageBrowser->SetQuiet(false);
    if (isVisible())
        hide();
    setAttribute(Qt::WA_DontShowOnScreen, false);
    SetBrowserSize(BrowsingSize);
    int result = QDialog::Rejected;
    do {
        FShowAgain = false;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        result = exec();
        if (std::exchange(FButtonCaptureStarted, false))
            AwaitButtonCapture();
    } while (FShowAgain);
    return result;
}

// The capture the button started goes on out of sight; the window's modal session lasts until
// it has ended, and without user input, as while the window was shown.
void BrowserWindow::AwaitButtonCapture() {
    QEventLoop loop;
    FButtonCaptureEnded = [&loop] { loop.quit(); };
    if (FButtonCaptureRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    FButtonCaptureEnded = nullptr;
    MoveBrowserHome();
    if (!FCaptured) {
        // The capture failed or found nothing: the window comes back for another try or to
        // be closed, rather than staying modal and out of sight.
        FButtonCapture = false;
        SetBrowserSize(BrowsingSize);
        FShowAgain = true;
    }
}

void BrowserWindow::ButtonCaptureEnded() {
    if (!std::exchange(FButtonCaptureRunning, false))
        return;
    if (FButtonCaptureEnded)
        FButtonCaptureEnded();
}

void BrowserWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        WindowShown();
}

void BrowserWindow::WindowShown() {
    FCaptured = false;
    FButtonCapture = false;
}

// Every way of closing (close box, Escape, the capture) passes here once.
void BrowserWindow::closeEvent(QCloseEvent* event) {
    FClosing = true;
    WindowClosing();
    QDialog::closeEvent(event);
    FClosing = false;
}

void BrowserWindow::reject() {
    if (FClosing)
        QDialog::reject();
    else
        close();
}

void BrowserWindow::WindowClosing() {
    // after a reported load failure the main window's failure report resets the wizard itself
    if (!FButtonCapture && !FFailureReported && theMainWindow)
        theMainWindow->StartNewPageClick();
}

// While the user browses in the visible window; out of sight the session reports the failure.
void BrowserWindow::BrowserLoadFailed(const QString& reason) {
    if (FHiddenMode || FSession->Running() || !isVisible() || !theMainWindow)
        return;
    ReportLoadFailure(QStringLiteral("Could not load %1: %2").arg(addressEdit->text(), reason));
}

// A page that could not be loaded is never captured: the user is told, and the wizard goes
// back to the address page.
void BrowserWindow::ReportLoadFailure(const QString& message) {
    FFailureReported = true;
    close();
    FFailureReported = false;
    theMainWindow->ReportFailure(message, true);
}

void BrowserWindow::BrowserProgressChange(int progress, int maximum) {
    for (StyledProgressBar* bar :
         {theMainWindow ? theMainWindow->progressBar : nullptr, progressBar}) {
        if (bar) {
            bar->setMax(maximum);
            bar->setPosition(progress);
        }
    }
}

void BrowserWindow::BrowserStatusTextChange(const QString& text) {
    if (theMainWindow)
        theMainWindow->statusLabel->setText(text);
    statusLabel->setText(text);
}

void BrowserWindow::BrowserNavigateComplete() {
    addressEdit->setText(pageBrowser->LocationURL());
}

void BrowserWindow::AddressEntered() {
    pageBrowser->Navigate(addressEdit->text());
}

void BrowserWindow::StopClick() {
    pageBrowser->Stop();
}

void BrowserWindow::RefreshClick() {
    try {
        pageBrowser->Refresh();
    } catch (const std::exception&) {
        // a refresh that fails changes nothing worth telling
    }
}

// The view must stay shown to paint, so while this window is out of sight the browser is
// held by a window that is shown without appearing on screen.
void BrowserWindow::CaptureClick() {
    pageBrowser->Stop();
    theMainWindow->statusLabel->setText(QStringLiteral("Working ......"));
    MoveBrowserToCaptureHost();
    hide(); // also ends the modal loop once this handler returns
    const QSize size = theMainWindow->ChosenResolution();
    if (size.isValid())
        SetBrowserSize(size);
    FButtonCapture = true;
    FButtonCaptureStarted = FButtonCaptureRunning = true;
    CapturePage();
}

void BrowserWindow::MoveBrowserToCaptureHost() {
    if (!FCaptureHost) {
        FCaptureHost = new QWidget;
        FCaptureHost->setObjectName(QStringLiteral("CaptureHost"));
        FCaptureHost->setAttribute(Qt::WA_DontShowOnScreen);
    }
    FCaptureHost->resize(BrowserWidget()->size());
    FCaptureHost->show();
    BrowserWidget()->setParent(FCaptureHost);
    BrowserWidget()->move(0, 0);
    BrowserWidget()->show();
}

void BrowserWindow::MoveBrowserHome() {
    const QSize size = BrowserWidget()->size();
    BrowserWidget()->setParent(this);
    BrowserWidget()->show();
    FCaptureHost->hide();
    SetBrowserSize(size);
}

void BrowserWindow::CapturePage() {
    FSession->CaptureNow(QSize());
}

// While the page is captured the windows take no input but repaint: they say what is
// happening, and the cursor shows that work is going on.
void BrowserWindow::SessionCaptureStarted() {
    ShowWorking(true);
    BrowserStatusTextChange(QCoreApplication::translate("Window", "正在截取整个网页 ..."));
}

void BrowserWindow::SessionScreensProgress(int done, int planned) {
    BrowserProgressChange(done, planned);
    BrowserStatusTextChange(
        QCoreApplication::translate("Window", "正在截取整个网页: 第 %1 屏, 共 %2 屏")
            .arg(done)
            .arg(planned));
}

void BrowserWindow::ShowWorking(bool working) {
    if (working == FWorking)
        return;
    FWorking = working;
    if (working)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void BrowserWindow::SessionCaptured(const QImage& picture) {
    ShowWorking(false);
    const auto ended = qScopeGuard([this] { ButtonCaptureEnded(); });
    try {
        theMainWindow->ShowCapturedPicture(picture);
    } catch (const VistrelError& error) {
        ReportCaptureFailure(error.message()); // the working picture could not be written
        return;
    }
    FCaptured = true;
    FinishCapture();
}

void BrowserWindow::SessionFailed(CaptureFailure failure, const QString& message) {
    ShowWorking(false);
    const auto ended = qScopeGuard([this] { ButtonCaptureEnded(); });
    if (FSession == FChromiumSession && failure != CaptureFailure::Stopped) {
        FSession = FWindowSession;
        FChromiumSession->deleteLater();
        FChromiumSession = nullptr;
        FChromium.release()->deleteLater(); // its session may still be on the stack
    }
    switch (failure) {
    case CaptureFailure::LoadFailed:
        if (isVisible() && theMainWindow)
            ReportLoadFailure(message);
        break;
    case CaptureFailure::CaptureFailed:
        ReportCaptureFailure(message);
        break;
    case CaptureFailure::NothingToCapture:
    case CaptureFailure::Stopped:
        break;
    }
}

void BrowserWindow::FinishCapture() {
    close();
    pageBrowser->Stop();
    pageBrowser->Navigate(BlankPage());
    theMainWindow->statusLabel->clear();
    theMainWindow->ShowCaptureUnderWay(false);
    theMainWindow->BringToFront(theMainWindow->picturePage);
    theMainWindow->FPage = 2;
}

// Nothing stays shown out of sight after a failed capture; a button capture brings its
// window back (CaptureClick).
void BrowserWindow::ReportCaptureFailure(const QString& message) {
    theMainWindow->statusLabel->clear();
    if (!FButtonCapture)
        hide();
    theMainWindow->ReportFailure(message, false);
}
