#include "output/MakeThumbnail.h"

#include "app/Main.h"
#include "capture/ViewPic.h"
#include "controls/TFlatSpinEditInteger.h"
#include "controls/TJvOfficeColorButton.h"
#include "controls/TRbCheckBox.h"
#include "controls/TRbRadioButton.h"
#include "output/SavePicture.h"
#include "output/Thumbnail.h"
#include "output/WorkingPicture.h"

namespace {

ThumbnailOptions ReadThumbnailOptions(const TMainForm& form) {
    ThumbnailOptions options;
    options.byWidthAndHeight = form.Radio_Thumbsize_1->Checked();
    options.width = form.Edit_Thumb_Width->Value();
    options.height = form.Edit_Thumb_Height->Value();
    options.percent = form.Edit_Thumb_Percent->Value();
    options.crop = form.Radio_PicsizeT_crop->Checked();
    options.cropHeight = form.PicSize_T_H->Value();
    options.smooth = form.Check_ThumbSmooth->Checked();
    options.border = form.Check_ThumbBorder->Checked();
    options.borderColor = form.Btn_ThumbColor->SelectedColor();
    return options;
}

} // namespace

void MakeThumbnail(ThumbnailTarget target, const QString& name) {
    const QImage thumbnail =
        BuildThumbnail(LoadWorkingPicture(MainForm->FTempName), ReadThumbnailOptions(*MainForm));
    switch (target) {
    case ThumbnailTarget::Bmp:
        SavePictureAsBmp(thumbnail, name);
        break;
    case ThumbnailTarget::Png:
        SavePictureAsPng(thumbnail, name);
        break;
    case ThumbnailTarget::Jpeg:
        SavePictureAsJpeg(thumbnail, name);
        break;
    case ThumbnailTarget::Preview:
        ViewForm->SetPicture(thumbnail);
        ViewForm->ShowModal();
        ViewForm->SetPicture(QImage());
        break;
    }
}
