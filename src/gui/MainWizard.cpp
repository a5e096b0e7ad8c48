// SPDX-License-Identifier: GPL-3.0-or-later
// The capture wizard's actions.
#include "gui/ClickableImage.h"
#include "common/ErrorReport.h"
#include "gui/Guarded.h"
#include "gui/Main.h"
#include "capture/CaptureJob.h"
#include "capture/PageAddress.h"
#include "gui/ViewPic.h"
#include "gui/snap.h"
#include "gui/widgets/TFlatSpinEditInteger.h"
#include "gui/widgets/TJvOfficeColorButton.h"
#include "gui/widgets/TJvXPButton.h"
#include "gui/widgets/TJvXPCheckbox.h"
#include "gui/widgets/TJvXPProgressBar.h"
#include "gui/widgets/TRbCheckBox.h"
#include "gui/widgets/TRbRadioButton.h"
#include "gui/MakeThumbnail.h"
#include "output/PictureCrop.h"
#include "gui/SavePicture.h"
#include "output/ThumbnailScaler.h"
#include "output/WorkingPicture.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

namespace {

template <class Sender>
void OnClick(Sender* sender, TMainForm* form, void (TMainForm::*handler)()) {
    QObject::connect(sender, &Sender::clicked, form,
                     [form, handler] { Guarded([form, handler] { (form->*handler)(); }); });
}

} // namespace

void TMainForm::ConnectHandlers() {
    for (TRbRadioButton* radio : findChildren<TRbRadioButton*>()) {
        radio->setStyleManager(RbStyleManager1);
    }
    for (TRbCheckBox* check : findChildren<TRbCheckBox*>()) {
        check->setStyleManager(RbStyleManager1);
    }
    OnClick(Image_Menu_1, this, &TMainForm::Image_Menu_1Click);
    OnClick(Image_Menu_2, this, &TMainForm::Image_Menu_2Click);
    OnClick(Image_Menu_3, this, &TMainForm::Image_Menu_3Click);
    OnClick(JvXPButton2, this, &TMainForm::JvXPButton2Click);
    // Enter in the address box is Start; the key still reaches the box.
    connect(EditBox_Address, &QLineEdit::returnPressed, this,
            [this] { Guarded([this] { JvXPButton2Click(); }); });
    OnClick(JvXPButton5, this, &TMainForm::Image_PreviewClick);
    OnClick(Image_Preview, this, &TMainForm::Image_PreviewClick);
    OnClick(JvXPButton7, this, &TMainForm::JvXPButton7Click);
    OnClick(JvXPButton10, this, &TMainForm::JvXPButton10Click);
    OnClick(JvXPButton8, this, &TMainForm::JvXPButton8Click);
    OnClick(JvXPButton3, this, &TMainForm::JvXPButton3Click);
    OnClick(JvXPButton22, this, &TMainForm::JvXPButton22Click);
    OnClick(JvXPButton21, this, &TMainForm::JvXPButton21Click);
    OnClick(JvXPButton4, this, &TMainForm::JvXPButton21Click);
    OnClick(JvXPButton11, this, &TMainForm::JvXPButton11Click);
    OnClick(JvXPButton20, this, &TMainForm::JvXPButton11Click);
    OnClick(Radio_Thumbsize_1, this, &TMainForm::Radio_Thumbsize_1Click);
    OnClick(Radio_Thumbsize_2, this, &TMainForm::Radio_Thumbsize_2Click);
    OnClick(Check_ThumbBorder, this, &TMainForm::Check_ThumbBorderClick);
    OnClick(Check_ThumbSmooth, this, &TMainForm::Check_ThumbBorderClick);
    OnClick(JvXPButton18, this, &TMainForm::JvXPButton18Click);
    OnClick(JvXPButton9, this, &TMainForm::JvXPButton9Click);
    OnClick(JvXPButton16, this, &TMainForm::JvXPButton16Click);
    OnClick(JvXPButton17, this, &TMainForm::JvXPButton17Click);
    OnClick(JvXPButton19, this, &TMainForm::JvXPButton19Click);
    OnClick(btn_Saveset, this, &TMainForm::btn_SavesetClick);
    OnClick(JvXPButton13, this, &TMainForm::JvXPButton13Click);
    OnClick(JvXPButton14, this, &TMainForm::JvXPButton14Click);
    OnClick(JvXPButton1, this, &TMainForm::JvXPButton1Click);
    OnClick(JvXPButton6, this, &TMainForm::JvXPButton6Click);
    OnClick(JvXPButton12, this, &TMainForm::JvXPButton12Click);
    OnClick(JvXPButton15, this, &TMainForm::JvXPButton15Click);
}

void TMainForm::JvXPButton2Click() {
    if (const QString problem = PageAddressProblem(EditBox_Address->text()); !problem.isEmpty()) {
        ShowErrorReport(problem);
        return;
    }
    JvXPProgressBar1->show();
    if (!FCmdLineMode) {
        if (const QSize size = ChosenResolution(); size.isValid()) {
            PicSize_H->setValue(size.height());
        }
        PicSize_T_H->setValue(PicSize_H->Value());
    }
    if (FShowIE) {
        StartVisible();
    } else {
        StartHidden();
    }
}

void TMainForm::StartVisible() {
    SnapForm->CancelCapture(); // pages the user browses to are captured only with the button
    const QString address = EditBox_Address->text();
    SnapForm->WebBrowser_Snap->Navigate(address);
    SnapForm->Edit1->setText(address);
    SnapForm->ShowModalCentred();
}

// The wizard waits for the page as long as it takes: the user can always start a new page.
void TMainForm::StartHidden() {
    SnapForm->StartHidden(CaptureJobFromControls());
    FPage = 2;
}

CaptureJob TMainForm::CaptureJobFromControls() const {
    CaptureJob job;
    job.address = EditBox_Address->text();
    job.browserSize = ChosenResolution();
    job.picture = ReadPictureOptions();
    job.engine = ChosenEngine();
    job.keepFixedElements = Check_KeepFixed->Checked();
    return job;
}

PictureOptions TMainForm::ReadPictureOptions() const {
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

void TMainForm::ShowCapturedPicture(const QImage& picture) {
    SaveWorkingPicture(picture, FTempName);
    Image_Preview->setPixmap(
        QPixmap::fromImage(StretchHalftone(picture, picture.rect(), Image_Preview->size())));
    Label9->setText(QStringLiteral("%1 x %2").arg(picture.width()).arg(picture.height()));
    PicSize_H->setMaxValue(picture.height());
    PicSize_T_H->setMaxValue(picture.height());
    Label10->setText(BmpSizeLabel(picture.width(), picture.height()));
}

void TMainForm::ReportFailure(const QString& message, bool loadFailed) {
    ShowErrorReport(message);
    if (loadFailed) {
        JvXPButton21Click();
    }
}

QImage TMainForm::LoadCroppedWorkingPicture() const {
    QImage picture = LoadWorkingPicture(FTempName);
    if (Radio_Picsize_Crop->Checked()) {
        picture = ChangeHeight(picture, PicSize_H->Value());
    }
    return picture;
}

void TMainForm::Image_PreviewClick() {
    ViewForm->SetPicture(LoadCroppedWorkingPicture());
    ViewForm->ShowModal();
    ViewForm->SetPicture(QImage());
}

void TMainForm::JvXPButton7Click() {
    DefaultSaveName = QStringLiteral("Webpage");
    SavePictureAsBmp(LoadCroppedWorkingPicture(), QString());
}

void TMainForm::JvXPButton10Click() {
    DefaultSaveName = QStringLiteral("Webpage");
    SavePictureAsPng(LoadCroppedWorkingPicture(), QString());
}

void TMainForm::JvXPButton8Click() {
    DefaultSaveName = QStringLiteral("Webpage");
    SavePictureAsJpeg(LoadCroppedWorkingPicture(), QString(), Edit_JpgComp->Value());
}

void TMainForm::JvXPButton3Click() {
    BringToFront(Panel_web_3);
    FPage = 3;
}

void TMainForm::JvXPButton22Click() {
    BringToFront(Panel_web_2);
    FPage = 2;
}

void TMainForm::JvXPButton21Click() {
    EditBox_Address->setText(DefaultStartAddress());
    JvXPButton2->setEnabled(true);
    JvXPButton2->setCaption(QStringLiteral("开始(&T)"));
    BringToFront(Panel_web_1);
    FPage = 1;
    SnapForm->CancelCapture();
    SnapForm->WebBrowser_Snap->Stop();
    SnapForm->WebBrowser_Snap->Navigate(QStringLiteral("about:blank"));
    JvXPProgressBar1->hide();
    Label1->clear();
}

void TMainForm::JvXPButton11Click() {
    // Closing ends the program; the close handler removes the working file.
    close();
}

void TMainForm::Radio_Thumbsize_1Click() {
    Edit_Thumb_Width->setEnabled(true);
    Edit_Thumb_Height->setEnabled(true);
    Edit_Thumb_Percent->setEnabled(false);
}

void TMainForm::Radio_Thumbsize_2Click() {
    Edit_Thumb_Width->setEnabled(false);
    Edit_Thumb_Height->setEnabled(false);
    Edit_Thumb_Percent->setEnabled(true);
}

void TMainForm::Check_ThumbBorderClick() {
    Btn_ThumbColor->setEnabled(Check_ThumbBorder->Checked());
}

void TMainForm::MakeThumbnailOfWorkingPicture(ThumbnailTarget target) {
    MakeThumbnail(LoadWorkingPicture(FTempName), ReadPictureOptions(), target, QString());
}

void TMainForm::JvXPButton18Click() {
    MakeThumbnailOfWorkingPicture(ThumbnailTarget::Preview);
}

void TMainForm::JvXPButton9Click() {
    DefaultSaveName = QStringLiteral("Webpage_thumb");
    MakeThumbnailOfWorkingPicture(ThumbnailTarget::Bmp);
}

void TMainForm::JvXPButton16Click() {
    DefaultSaveName = QStringLiteral("Webpage_thumb");
    MakeThumbnailOfWorkingPicture(ThumbnailTarget::Png);
}

void TMainForm::JvXPButton17Click() {
    DefaultSaveName = QStringLiteral("Webpage_thumb");
    MakeThumbnailOfWorkingPicture(ThumbnailTarget::Jpeg);
}
