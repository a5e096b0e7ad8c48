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
    OnClick(Image_Menu_1, this, &MainWindow::Image_Menu_1Click);
    OnClick(Image_Menu_2, this, &MainWindow::Image_Menu_2Click);
    OnClick(Image_Menu_3, this, &MainWindow::Image_Menu_3Click);
    OnClick(startButton, this, &MainWindow::StartClick);
    OnClick(stopCaptureButton, this, &MainWindow::StopCapture);
    // Enter in the address box is Start; the key still reaches the box.
    connect(EditBox_Address, &QLineEdit::returnPressed, this,
            [this] { Guarded([this] { StartClick(); }); });
    OnClick(previewPictureButton, this, &MainWindow::Image_PreviewClick);
    OnClick(Image_Preview, this, &MainWindow::Image_PreviewClick);
    OnClick(savePictureBmpButton, this, &MainWindow::SavePictureBmpClick);
    OnClick(savePicturePngButton, this, &MainWindow::SavePicturePngClick);
    OnClick(savePictureJpegButton, this, &MainWindow::SavePictureJpegClick);
    OnClick(makeThumbnailButton, this, &MainWindow::MakeThumbnailClick);
    OnClick(backToPictureButton, this, &MainWindow::BackToPictureClick);
    OnClick(startNewPageButton, this, &MainWindow::StartNewPageClick);
    OnClick(startNewPageFromThumbnailButton, this, &MainWindow::StartNewPageClick);
    OnClick(finishButton, this, &MainWindow::FinishClick);
    OnClick(finishFromThumbnailButton, this, &MainWindow::FinishClick);
    OnClick(Radio_Thumbsize_1, this, &MainWindow::Radio_Thumbsize_1Click);
    OnClick(Radio_Thumbsize_2, this, &MainWindow::Radio_Thumbsize_2Click);
    OnClick(Check_ThumbBorder, this, &MainWindow::Check_ThumbBorderClick);
    OnClick(Check_ThumbSmooth, this, &MainWindow::Check_ThumbBorderClick);
    OnClick(previewThumbnailButton, this, &MainWindow::PreviewThumbnailClick);
    OnClick(saveThumbnailBmpButton, this, &MainWindow::SaveThumbnailBmpClick);
    OnClick(saveThumbnailPngButton, this, &MainWindow::SaveThumbnailPngClick);
    OnClick(saveThumbnailJpegButton, this, &MainWindow::SaveThumbnailJpegClick);
    OnClick(saveDefaultsButton, this, &MainWindow::SaveDefaultsClick);
    OnClick(btn_Saveset, this, &MainWindow::btn_SavesetClick);
    OnClick(addToOpenWithButton, this, &MainWindow::AddToOpenWithClick);
    OnClick(removeFromOpenWithButton, this, &MainWindow::RemoveFromOpenWithClick);
    OnClick(manualButton, this, &MainWindow::ManualClick);
    OnClick(supportForumButton, this, &MainWindow::SupportForumClick);
    OnClick(checkUpdatesButton, this, &MainWindow::CheckUpdatesClick);
    OnClick(homePageButton, this, &MainWindow::HomePageClick);
}

void MainWindow::StartClick() {
    if (const QString problem = PageAddressProblem(EditBox_Address->text()); !problem.isEmpty()) {
        ShowErrorReport(problem);
        return;
    }
    ShowCaptureUnderWay(true);
    if (const QSize size = ChosenResolution(); size.isValid()) {
        PicSize_H->setValue(size.height());
    }
    PicSize_T_H->setValue(PicSize_H->Value());
    if (FShowIE) {
        StartVisible();
    } else {
        StartHidden();
    }
}

void MainWindow::StartVisible() {
    SnapForm->CancelCapture(); // pages the user browses to are captured only with the button
    const QString address = EditBox_Address->text();
    SnapForm->WebBrowser_Snap->Navigate(address);
    SnapForm->addressEdit->setText(address);
    SnapForm->ShowModalCentred();
}

// The wizard waits for the page as long as it takes: the user can always start a new page.
void MainWindow::StartHidden() {
    SnapForm->StartHidden(CaptureJobFromControls());
    FPage = 2;
}

CaptureJob MainWindow::CaptureJobFromControls() const {
    CaptureJob job;
    job.address = EditBox_Address->text();
    job.browserSize = ChosenResolution();
    job.picture = ReadPictureOptions();
    job.engine = ChosenEngine();
    job.keepFixedElements = Check_KeepFixed->Checked();
    return job;
}

PictureOptions MainWindow::ReadPictureOptions() const {
    PictureOptions options;
    options.crop = Radio_Picsize_Crop->Checked();
    options.cropHeight = PicSize_H->Value();
    options.jpegQuality = Edit_JpgComp->Value();
    ThumbnailOptions& thumb = options.thumbnail;
    thumb.byWidthAndHeight = Radio_Thumbsize_1->Checked();
    thumb.width = Edit_Thumb_Width->Value();
    thumb.height = Edit_Thumb_Height->Value();
    thumb.percent = Edit_Thumb_Percent->Value();
    thumb.crop = Radio_PicsizeT_crop->Checked();
    thumb.cropHeight = PicSize_T_H->Value();
    thumb.smooth = Check_ThumbSmooth->Checked();
    thumb.border = Check_ThumbBorder->Checked();
    thumb.borderColor = Btn_ThumbColor->SelectedColor();
    return options;
}

void MainWindow::ShowCapturedPicture(const QImage& picture) {
    SaveWorkingPicture(picture, FTempName);
    Image_Preview->setPixmap(
        QPixmap::fromImage(StretchHalftone(picture, picture.rect(), Image_Preview->size())));
    pictureSizeLabel->setText(QStringLiteral("%1 x %2").arg(picture.width()).arg(picture.height()));
    PicSize_H->setMaxValue(picture.height());
    PicSize_T_H->setMaxValue(picture.height());
    bmpSizeLabel->setText(BmpSizeLabel(picture.width(), picture.height()));
}

void MainWindow::ReportFailure(const QString& message, bool loadFailed) {
    ShowErrorReport(message);
    if (loadFailed) {
        StartNewPageClick();
    }
}

QImage MainWindow::LoadCroppedWorkingPicture() const {
    QImage picture = LoadWorkingPicture(FTempName);
    if (Radio_Picsize_Crop->Checked()) {
        picture = ChangeHeight(picture, PicSize_H->Value());
    }
    return picture;
}

void MainWindow::Image_PreviewClick() {
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
    SavePictureAsJpeg(LoadCroppedWorkingPicture(), QString(), Edit_JpgComp->Value());
}

void MainWindow::MakeThumbnailClick() {
    BringToFront(Panel_web_3);
    FPage = 3;
}

void MainWindow::BackToPictureClick() {
    BringToFront(Panel_web_2);
    FPage = 2;
}

void MainWindow::StartNewPageClick() {
    EditBox_Address->setText(DefaultStartAddress());
    startButton->setEnabled(true);
    startButton->setCaption(QCoreApplication::translate("Window", "开始(&T)"));
    BringToFront(Panel_web_1);
    FPage = 1;
    SnapForm->CancelCapture();
    SnapForm->WebBrowser_Snap->Stop();
    SnapForm->WebBrowser_Snap->Navigate(QStringLiteral("about:blank"));
    ShowCaptureUnderWay(false);
    statusLabel->clear();
}

void MainWindow::StopCapture() {
    if (!stopCaptureButton->isVisible())
        return;
    const QString address = EditBox_Address->text();
    StartNewPageClick();
    EditBox_Address->setText(address);
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

void MainWindow::Radio_Thumbsize_1Click() {
    Edit_Thumb_Width->setEnabled(true);
    Edit_Thumb_Height->setEnabled(true);
    Edit_Thumb_Percent->setEnabled(false);
}

void MainWindow::Radio_Thumbsize_2Click() {
    Edit_Thumb_Width->setEnabled(false);
    Edit_Thumb_Height->setEnabled(false);
    Edit_Thumb_Percent->setEnabled(true);
}

void MainWindow::Check_ThumbBorderClick() {
    Btn_ThumbColor->setEnabled(Check_ThumbBorder->Checked());
}

void MainWindow::MakeThumbnailOfWorkingPicture(ThumbnailTarget target) {
    MakeThumbnail(LoadWorkingPicture(FTempName), ReadPictureOptions(), target, QString());
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
