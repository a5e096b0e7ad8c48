// SPDX-License-Identifier: GPL-3.0-or-later
// The capture wizard's actions.
#include "capture/CaptureJob.h"
#include "capture/PageAddress.h"
#include "common/ErrorReport.h"
#include "gui/BrowserWindow.h"
#include "gui/ClickableImage.h"
#include "gui/Guarded.h"
#include "gui/MainWindow.h"
#include "gui/MakeThumbnail.h"
#include "gui/PictureViewer.h"
#include "gui/SavePicture.h"
#include "gui/widgets/ColorButton.h"
#include "gui/widgets/FlatSpinBox.h"
#include "gui/widgets/GradientCheckBox.h"
#include "gui/widgets/GradientRadioButton.h"
#include "gui/widgets/StyledButton.h"
#include "gui/widgets/StyledCheckBox.h"
#include "gui/widgets/StyledProgressBar.h"
#include "output/PictureCrop.h"
#include "output/ThumbnailScaler.h"
#include "output/WorkingPicture.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>

namespace {

template <class Sender>
void OnClick(Sender* sender, MainWindow* form, void (MainWindow::*handler)()) {
    QObject::connect(sender, &Sender::clicked, form,
                     [form, handler] { Guarded([form, handler] { (form->*handler)(); }); });
}

} // namespace

void MainWindow::ConnectHandlers() {
    for (GradientRadioButton* radio : findChildren<GradientRadioButton*>()) {
        radio->setStyleManager(RbStyleManager1);
    }
    for (GradientCheckBox* check : findChildren<GradientCheckBox*>()) {
        check->setStyleManager(RbStyleManager1);
    }
    OnClick(menuCaptureImage, this, &MainWindow::MenuCaptureClick);
    OnClick(menuSettingsImage, this, &MainWindow::MenuSettingsClick);
    OnClick(menuHelpImage, this, &MainWindow::MenuHelpClick);
    OnClick(startButton, this, &MainWindow::StartClick);
    OnClick(stopCaptureButton, this, &MainWindow::StopCapture);
    // Enter in the address box is Start; the key still reaches the box.
    connect(addressEdit, &QLineEdit::returnPressed, this,
            [this] { Guarded([this] { StartClick(); }); });
    OnClick(previewPictureButton, this, &MainWindow::PreviewImageClick);
    OnClick(previewImage, this, &MainWindow::PreviewImageClick);
    OnClick(savePictureBmpButton, this, &MainWindow::SavePictureBmpClick);
    OnClick(savePicturePngButton, this, &MainWindow::SavePicturePngClick);
    OnClick(savePictureJpegButton, this, &MainWindow::SavePictureJpegClick);
    OnClick(makeThumbnailButton, this, &MainWindow::MakeThumbnailClick);
    OnClick(backToPictureButton, this, &MainWindow::BackToPictureClick);
    OnClick(startNewPageButton, this, &MainWindow::StartNewPageClick);
    OnClick(startNewPageFromThumbnailButton, this, &MainWindow::StartNewPageClick);
    OnClick(finishButton, this, &MainWindow::FinishClick);
    OnClick(finishFromThumbnailButton, this, &MainWindow::FinishClick);
    OnClick(thumbnailBySizeRadio, this, &MainWindow::ThumbnailBySizeClick);
    OnClick(thumbnailByPercentRadio, this, &MainWindow::ThumbnailByPercentClick);
    OnClick(thumbnailBorderCheck, this, &MainWindow::ThumbnailBorderClick);
    OnClick(thumbnailSmoothCheck, this, &MainWindow::ThumbnailBorderClick);
    OnClick(previewThumbnailButton, this, &MainWindow::PreviewThumbnailClick);
    OnClick(saveThumbnailBmpButton, this, &MainWindow::SaveThumbnailBmpClick);
    OnClick(saveThumbnailPngButton, this, &MainWindow::SaveThumbnailPngClick);
    OnClick(saveThumbnailJpegButton, this, &MainWindow::SaveThumbnailJpegClick);
    OnClick(saveDefaultsButton, this, &MainWindow::SaveDefaultsClick);
    OnClick(saveSettingsButton, this, &MainWindow::SaveSettingsClick);
    OnClick(addToOpenWithButton, this, &MainWindow::AddToOpenWithClick);
    OnClick(removeFromOpenWithButton, this, &MainWindow::RemoveFromOpenWithClick);
    OnClick(manualButton, this, &MainWindow::ManualClick);
    OnClick(supportForumButton, this, &MainWindow::SupportForumClick);
    OnClick(checkUpdatesButton, this, &MainWindow::CheckUpdatesClick);
    OnClick(homePageButton, this, &MainWindow::HomePageClick);
}

void MainWindow::StartClick() {
    if (const QString problem = PageAddressProblem(addressEdit->text()); !problem.isEmpty()) {
        ShowErrorReport(problem);
        return;
    }
    ShowCaptureUnderWay(true);
    if (const QSize size = ChosenResolution(); size.isValid()) {
        cropHeightSpin->setValue(size.height());
    }
    thumbnailCropHeightSpin->setValue(cropHeightSpin->Value());
    if (showBrowserWindow) {
        StartVisible();
    } else {
        StartHidden();
    }
}

void MainWindow::StartVisible() {
    theBrowserWindow
        ->CancelCapture(); // pages the user browses to are captured only with the button
    const QString address = addressEdit->text();
    theBrowserWindow->pageBrowser->Navigate(address);
    theBrowserWindow->addressEdit->setText(address);
    theBrowserWindow->ShowModalCentred();
}

// The wizard waits for the page as long as it takes: the user can always start a new page.
void MainWindow::StartHidden() {
    theBrowserWindow->StartHidden(CaptureJobFromControls());
    FPage = 2;
}

CaptureJob MainWindow::CaptureJobFromControls() const {
    CaptureJob job;
    job.address = addressEdit->text();
    job.browserSize = ChosenResolution();
    job.picture = ReadPictureOptions();
    job.engine = ChosenEngine();
    job.keepFixedElements = keepFixedCheck->Checked();
    return job;
}

PictureOptions MainWindow::ReadPictureOptions() const {
    PictureOptions options;
    options.crop = pictureCropRadio->Checked();
    options.cropHeight = cropHeightSpin->Value();
    options.jpegQuality = jpegQualitySpin->Value();
    ThumbnailOptions& thumb = options.thumbnail;
    thumb.byWidthAndHeight = thumbnailBySizeRadio->Checked();
    thumb.width = thumbnailWidthSpin->Value();
    thumb.height = thumbnailHeightSpin->Value();
    thumb.percent = thumbnailPercentSpin->Value();
    thumb.crop = thumbnailSourceCropRadio->Checked();
    thumb.cropHeight = thumbnailCropHeightSpin->Value();
    thumb.smooth = thumbnailSmoothCheck->Checked();
    thumb.border = thumbnailBorderCheck->Checked();
    thumb.borderColor = thumbnailColorButton->SelectedColor();
    return options;
}

void MainWindow::ShowCapturedPicture(const QImage& picture) {
    SaveWorkingPicture(picture, FWorkingPictureName);
    previewImage->setPixmap(
        QPixmap::fromImage(StretchHalftone(picture, picture.rect(), previewImage->size())));
    pictureSizeLabel->setText(QStringLiteral("%1 x %2").arg(picture.width()).arg(picture.height()));
    cropHeightSpin->setMaxValue(picture.height());
    thumbnailCropHeightSpin->setMaxValue(picture.height());
    bmpSizeLabel->setText(BmpSizeLabel(picture.width(), picture.height()));
}

void MainWindow::ReportFailure(const QString& message, bool loadFailed) {
    ShowErrorReport(message);
    if (loadFailed) {
        StartNewPageClick();
    }
}

QImage MainWindow::LoadCroppedWorkingPicture() const {
    QImage picture = LoadWorkingPicture(FWorkingPictureName);
    if (pictureCropRadio->Checked()) {
        picture = ChangeHeight(picture, cropHeightSpin->Value());
    }
    return picture;
}

void MainWindow::PreviewImageClick() {
    ViewForm->SetPicture(LoadCroppedWorkingPicture());
    ViewForm->ShowModal();
    ViewForm->SetPicture(QImage());
}

void MainWindow::SavePictureBmpClick() {
    DefaultSaveName = QStringLiteral("Webpage");
    SavePictureAsBmp(LoadCroppedWorkingPicture(), QString());
}

void MainWindow::SavePicturePngClick() {
    DefaultSaveName = QStringLiteral("Webpage");
    SavePictureAsPng(LoadCroppedWorkingPicture(), QString());
}

void MainWindow::SavePictureJpegClick() {
    DefaultSaveName = QStringLiteral("Webpage");
    SavePictureAsJpeg(LoadCroppedWorkingPicture(), QString(), jpegQualitySpin->Value());
}

void MainWindow::MakeThumbnailClick() {
    BringToFront(thumbnailPage);
    FPage = 3;
}

void MainWindow::BackToPictureClick() {
    BringToFront(picturePage);
    FPage = 2;
}

void MainWindow::StartNewPageClick() {
    addressEdit->setText(DefaultStartAddress());
    startButton->setEnabled(true);
    startButton->setCaption(QCoreApplication::translate("Window", "开始(&T)"));
    BringToFront(addressPage);
    FPage = 1;
    theBrowserWindow->CancelCapture();
    theBrowserWindow->pageBrowser->Stop();
    theBrowserWindow->pageBrowser->Navigate(QStringLiteral("about:blank"));
    ShowCaptureUnderWay(false);
    statusLabel->clear();
}

void MainWindow::StopCapture() {
    if (!stopCaptureButton->isVisible())
        return;
    const QString address = addressEdit->text();
    StartNewPageClick();
    addressEdit->setText(address);
}

void MainWindow::ShowCaptureUnderWay(bool underWay) {
    progressBar->setVisible(underWay);
    stopCaptureButton->setVisible(underWay);
    stopCaptureShortcut->setEnabled(underWay);
}

void MainWindow::FinishClick() {
    // Closing ends the program; the close handler removes the working file.
    close();
}

void MainWindow::ThumbnailBySizeClick() {
    thumbnailWidthSpin->setEnabled(true);
    thumbnailHeightSpin->setEnabled(true);
    thumbnailPercentSpin->setEnabled(false);
}

void MainWindow::ThumbnailByPercentClick() {
    thumbnailWidthSpin->setEnabled(false);
    thumbnailHeightSpin->setEnabled(false);
    thumbnailPercentSpin->setEnabled(true);
}

void MainWindow::ThumbnailBorderClick() {
    thumbnailColorButton->setEnabled(thumbnailBorderCheck->Checked());
}

void MainWindow::MakeThumbnailOfWorkingPicture(ThumbnailTarget target) {
    MakeThumbnail(LoadWorkingPicture(FWorkingPictureName), ReadPictureOptions(), target, QString());
}

void MainWindow::PreviewThumbnailClick() {
    MakeThumbnailOfWorkingPicture(ThumbnailTarget::Preview);
}

void MainWindow::SaveThumbnailBmpClick() {
    DefaultSaveName = QStringLiteral("Webpage_thumb");
    MakeThumbnailOfWorkingPicture(ThumbnailTarget::Bmp);
}

void MainWindow::SaveThumbnailPngClick() {
    DefaultSaveName = QStringLiteral("Webpage_thumb");
    MakeThumbnailOfWorkingPicture(ThumbnailTarget::Png);
}

void MainWindow::SaveThumbnailJpegClick() {
    DefaultSaveName = QStringLiteral("Webpage_thumb");
    MakeThumbnailOfWorkingPicture(ThumbnailTarget::Jpeg);
}
