// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/MainWindow.h"

#include "capture/CaptureJob.h"
#include "common/VistrelError.h"
#include "gui/ClickableImage.h"
#include "gui/Guarded.h"
#include "gui/widgets/GradientCheckBox.h"
#include "gui/widgets/GradientRadioButton.h"
#include "gui/widgets/GradientStyle.h"
#include "gui/widgets/StyledButton.h"
#include "gui/widgets/StyledProgressBar.h"
#include "output/WorkingPicture.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QUuid>

MainWindow* theMainWindow = nullptr;

static void InitArtwork() {
    Q_INIT_RESOURCE(vistrel);
}

namespace {
constexpr int kFrameWidth = 727;
constexpr int kFrameHeight = 430;
} // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    theMainWindow = this;
    InitArtwork();
    FCommandLine = QCoreApplication::arguments();
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Vistrel Pro"));
    // Fixed single border, system menu and minimise button, no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    RbStyleManager1 = new GradientStyle(this);
    RbStyleManager1->setObjectName(QStringLiteral("RbStyleManager1"));
    CreateFrame();
    CreateAddressPage();
    CreateResultPage();
    CreateThumbnailPage();
    CreateSettingsPage();
    CreateHelpPage();
    ConnectHandlers();
    FormCreate();
}

MainWindow::~MainWindow() {
    if (theMainWindow == this) {
        theMainWindow = nullptr;
    }
}

QString MainWindow::DefaultStartAddress() {
    return ::DefaultStartAddress();
}

void MainWindow::FormCreate() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Integer division truncating toward zero, applied even when negative.
    move((screen.width() - 730) / 2, (screen.height() - 460) / 2);
    setFixedSize(kFrameWidth, kFrameHeight);
    for (QWidget* page : {addressPage, picturePage, thumbnailPage, settingsPage, helpPage}) {
        page->move(155, 80);
    }
    BringToFront(addressPage);
    FPage = 1;
    FWorkingPictureName = QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!FShown) {
        FShown = true;
        Guarded([this] { WindowShown(); });
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    WindowClosing();
    QWidget::closeEvent(event);
    // Closing the main window ends the program. Queued, so that a run that ends inside the show
    // handler, before the event loop runs, still ends; it also leaves any nested loop.
    QTimer::singleShot(0, qApp, [status = FExitStatus] { QCoreApplication::exit(status); });
}

void MainWindow::WindowClosing() {
    // A missing file or temporary folder, or a file that cannot be removed, is no reason to
    // bother anyone at exit.
    try {
        QFile::remove(WorkingPicturePath(FWorkingPictureName));
    } catch (const VistrelError&) {
    }
}

void MainWindow::BringToFront(QWidget* page) {
    page->raise();
    page->show();
    for (QWidget* other : {addressPage, picturePage, thumbnailPage, settingsPage, helpPage}) {
        // Pages behind the front one are hidden too, so keyboard focus cannot wander into them.
        if (other != page) {
            other->hide();
        }
    }
}

int MainWindow::ChosenResolutionNumber() const {
    const GradientRadioButton* buttons[] = {resolution1280Radio, resolution1024Radio,
                                            resolution800Radio};
    for (int choice = 1; choice <= 3; ++choice) {
        if (buttons[choice - 1]->Checked()) {
            return choice;
        }
    }
    return 0;
}

QSize MainWindow::ChosenResolution() const {
    return BrowserSizeOf(ChosenResolutionNumber());
}

void MainWindow::SetMenuBold(QLabel* chosen) {
    for (QLabel* label : {menuCaptureLabel, menuSettingsLabel, menuHelpLabel}) {
        QFont font = label->font();
        font.setBold(label == chosen);
        label->setFont(font);
    }
}

void MainWindow::MenuCaptureClick() {
    switch (FPage) {
    case 1:
        BringToFront(addressPage);
        break;
    case 2:
        BringToFront(picturePage);
        break;
    case 3:
        BringToFront(thumbnailPage);
        break;
    default:
        break;
    }
    SetMenuBold(menuCaptureLabel);
}

void MainWindow::MenuSettingsClick() {
    BringToFront(settingsPage);
    SetMenuBold(menuSettingsLabel);
}
