// SPDX-License-Identifier: GPL-3.0-or-later
// The result page and the thumbnail page of the main window.
#include "gui/ClickableImage.h"
#include "gui/FormBuilder.h"
#include "gui/MainWindow.h"
#include "gui/widgets/ColorButton.h"
#include "gui/widgets/FlatSpinBox.h"
#include "gui/widgets/GradientCheckBox.h"
#include "gui/widgets/GradientRadioButton.h"
#include "gui/widgets/StyledButton.h"

#include <QGroupBox>
#include <QStyle>

namespace {

const QString kIdeographicGap = QString(7, QChar(0x3000));

FlatSpinBox* PlaceSpin(QWidget* parent, const char* name, const QRect& geometry,
                       const SpinLimits& limits) {
    auto* spin = Place<FlatSpinBox>(parent, name, geometry);
    spin->setMinValue(limits.min);
    spin->setMaxValue(limits.max);
    spin->setValue(limits.initial);
    return spin;
}

GradientRadioButton* PlaceRadio(QWidget* parent, const char* name, const char* caption, int x,
                                int y, int width) {
    auto* radio = Place<GradientRadioButton>(parent, name, QRect(x, y, width, 22));
    TranslateText(radio, caption);
    return radio;
}

// The gap is as wide as seven ideographic spaces; other languages fill it with plain ones.
QString CropGap(const QFontMetrics& metrics) {
    if (CurrentWindowLanguage() == WindowLanguage::Chinese)
        return kIdeographicGap;
    QString gap;
    while (metrics.horizontalAdvance(gap) < metrics.horizontalAdvance(kIdeographicGap))
        gap += QLatin1Char(' ');
    return gap;
}

// A crop caption leaves a gap for its spin edit, which sits over it.
GradientRadioButton* PlaceCropRadio(QWidget* parent, const char* radioName, const char* prefix,
                                    int x, int y, FlatSpinBox* spin) {
    auto* radio = Place<GradientRadioButton>(parent, radioName, QRect(x, y, 300, 22));
    spin->setParent(parent);
    KeepTranslated(radio, [radio, prefix, x, y, spin] {
        const QFontMetrics metrics(radio->font());
        const QString gap = CropGap(metrics);
        radio->setText(WindowText(prefix) + gap + WindowText(QT_TRANSLATE_NOOP("Window", "像素")));
        const QStyle* style = radio->style();
        const int textStart =
            style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, radio) +
            style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, radio);
        const int gapStart = x + textStart + metrics.horizontalAdvance(WindowText(prefix));
        spin->setGeometry(gapStart + 4, y - 1, metrics.horizontalAdvance(gap) - 8, 24);
    });
    spin->raise();
    return radio;
}

QGroupBox* PlaceGroup(QWidget* parent, const char* name, const char* title, const QRect& geometry) {
    auto* box = Place<QGroupBox>(parent, name, geometry);
    TranslateTitle(box, title);
    return box;
}

} // namespace

void MainWindow::CreateResultPage() {
    Panel_web_2 = Place<QWidget>(this, "Panel_web_2", QRect(155, 80, 557, 326));
    PlacePicture(Panel_web_2, "Image_Background2", QStringLiteral(":/artwork/page_plain.png"), 0,
                 0);
    PlaceLabel(Panel_web_2, "Label6", QT_TRANSLATE_NOOP("Window", "图片:"), 24, 14);
    PlacePicture(Panel_web_2, "Image3", QStringLiteral(":/artwork/frame.png"), 20, 36);
    auto* panel1 = Place<QWidget>(Panel_web_2, "Panel1", QRect(34, 50, 142, 162));
    panel1->setAutoFillBackground(true);
    panel1->setStyleSheet(QStringLiteral("#Panel1 { background: rgb(83, 83, 83); }"));
    Image_Preview = Place<ClickableImage>(panel1, "Image_Preview", QRect(1, 1, 140, 160));
    Image_Preview->setScaledContents(false);
    pictureSizeLabel =
        PlaceLabel(Panel_web_2, "pictureSizeLabel", QStringLiteral("1024 x 768"), 24, 236, 170, 18);
    bmpSizeLabel =
        PlaceLabel(Panel_web_2, "bmpSizeLabel", QStringLiteral("BMP: 1000 KB"), 24, 256, 170, 18);

    PlaceLabel(Panel_web_2, "Label27", QT_TRANSLATE_NOOP("Window", "图片大小:"), 214, 14);
    Radio_Picsize_Fullsize =
        PlaceRadio(Panel_web_2, "Radio_Picsize_Fullsize",
                   QT_TRANSLATE_NOOP("Window", "  该页面的完整大小."), 226, 36, 300);
    PicSize_H = PlaceSpin(Panel_web_2, "PicSize_H", QRect(), OptionLimits::CropHeight);
    Radio_Picsize_Crop =
        PlaceCropRadio(Panel_web_2, "Radio_Picsize_Crop",
                       QT_TRANSLATE_NOOP("Window", "  裁减高度为: "), 226, 62, PicSize_H);
    Radio_Picsize_Fullsize->setChecked(true);

    PlaceLabel(Panel_web_2, "Label7", QT_TRANSLATE_NOOP("Window", "预览:"), 214, 106);
    previewPictureButton =
        PlaceButton(Panel_web_2, "previewPictureButton", QT_TRANSLATE_NOOP("Window", "预览图片"),
                    QRect(262, 100, 100, 26));
    PlaceLabel(Panel_web_2, "Label8", QT_TRANSLATE_NOOP("Window", "保存:"), 214, 146);
    savePictureBmpButton =
        PlaceButton(Panel_web_2, "savePictureBmpButton", QT_TRANSLATE_NOOP("Window", "保存为 BMP"),
                    QRect(262, 140, 90, 26));
    savePicturePngButton =
        PlaceButton(Panel_web_2, "savePicturePngButton", QT_TRANSLATE_NOOP("Window", "保存为 PNG"),
                    QRect(358, 140, 90, 26));
    savePictureJpegButton =
        PlaceButton(Panel_web_2, "savePictureJpegButton", QT_TRANSLATE_NOOP("Window", "保存为 JPG"),
                    QRect(454, 140, 90, 26));
    PlaceLabel(Panel_web_2, "Label14", QT_TRANSLATE_NOOP("Window", "JPG 压缩格式 :"), 262, 186);
    Edit_JpgComp =
        PlaceSpin(Panel_web_2, "Edit_JpgComp", QRect(352, 182, 56, 24), OptionLimits::JpegQuality);
    PlaceLabel(Panel_web_2, "Label15",
               QT_TRANSLATE_NOOP("Window", "* 100 为最佳质量.\n   0  为最高压缩率."), 416, 180, 130,
               32);

    makeThumbnailButton =
        PlaceButton(Panel_web_2, "makeThumbnailButton", QT_TRANSLATE_NOOP("Window", "创建略缩图"),
                    QRect(214, 280, 106, 30));
    startNewPageButton =
        PlaceButton(Panel_web_2, "startNewPageButton", QT_TRANSLATE_NOOP("Window", "开始新页面"),
                    QRect(326, 280, 106, 30));
    finishButton = PlaceButton(Panel_web_2, "finishButton",
                               QT_TRANSLATE_NOOP("Window", "完成并退出"), QRect(438, 280, 106, 30));
}

void MainWindow::CreateThumbnailPage() {
    Panel_web_3 = Place<QWidget>(this, "Panel_web_3", QRect(155, 80, 557, 326));
    PlacePicture(Panel_web_3, "Image_Background3", QStringLiteral(":/artwork/page_plain.png"), 0,
                 0);
    PlaceLabel(Panel_web_3, "Label5", QT_TRANSLATE_NOOP("Window", "创建略缩图"), 24, 8);

    GroupBox1 = PlaceGroup(Panel_web_3, "GroupBox1", QT_TRANSLATE_NOOP("Window", " 略缩图大小: "),
                           QRect(14, 28, 529, 82));
    Radio_Thumbsize_1 = PlaceRadio(GroupBox1, "Radio_Thumbsize_1",
                                   QT_TRANSLATE_NOOP("Window", "  宽 :"), 12, 22, 78);
    Edit_Thumb_Width =
        PlaceSpin(GroupBox1, "Edit_Thumb_Width", QRect(92, 21, 64, 24), OptionLimits::ThumbWidth);
    PlaceLabel(GroupBox1, "Label16", QT_TRANSLATE_NOOP("Window", "像素"), 162, 25);
    // The height's spin edit sits over the spaces between its caption and its unit.
    QLabel* label17 = PlaceLabel(GroupBox1, "Label17", QString(), 206, 25);
    Edit_Thumb_Height =
        PlaceSpin(GroupBox1, "Edit_Thumb_Height", QRect(), OptionLimits::ThumbHeight);
    KeepTranslated(label17, [label17, spin = Edit_Thumb_Height] {
        const QString caption = WindowText(QT_TRANSLATE_NOOP("Window", " 高 : "));
        const QString room(16, QLatin1Char(' '));
        label17->setText(caption + room + WindowText(QT_TRANSLATE_NOOP("Window", "像素")));
        label17->adjustSize();
        const QFontMetrics metrics(label17->font());
        spin->setGeometry(206 + metrics.horizontalAdvance(caption), 21,
                          metrics.horizontalAdvance(room), 24);
    });
    Radio_Thumbsize_2 = PlaceRadio(GroupBox1, "Radio_Thumbsize_2",
                                   QT_TRANSLATE_NOOP("Window", "  百分比:"), 12, 50, 96);
    Edit_Thumb_Percent = PlaceSpin(GroupBox1, "Edit_Thumb_Percent", QRect(110, 49, 56, 24),
                                   OptionLimits::ThumbPercent);
    PlaceLabel(GroupBox1, "Label18", QStringLiteral("%"), 172, 53);
    Radio_Thumbsize_1->setChecked(true);
    for (FlatSpinBox* spin : {Edit_Thumb_Width, Edit_Thumb_Height, Edit_Thumb_Percent}) {
        spin->setEnabled(false);
    }

    GroupBox2 = PlaceGroup(Panel_web_3, "GroupBox2", QT_TRANSLATE_NOOP("Window", " 略缩图边框 :"),
                           QRect(14, 116, 260, 56));
    Check_ThumbBorder =
        Place<GradientCheckBox>(GroupBox2, "Check_ThumbBorder", QRect(12, 22, 110, 22));
    TranslateText(Check_ThumbBorder, QT_TRANSLATE_NOOP("Window", "  边框颜色 :"));
    Btn_ThumbColor = Place<ColorButton>(GroupBox2, "Btn_ThumbColor", QRect(126, 19, 64, 28));
    Btn_ThumbColor->setEnabled(false);
    KeepTranslated(Btn_ThumbColor, [button = Btn_ThumbColor] {
        button->setAutoCaption(WindowText(QT_TRANSLATE_NOOP("Window", "自动")));
        button->setOtherCaption(WindowText(QT_TRANSLATE_NOOP("Window", "其他颜色...")));
    });
    GroupBox3 = PlaceGroup(Panel_web_3, "GroupBox3", QT_TRANSLATE_NOOP("Window", " 其他选项 : "),
                           QRect(283, 116, 260, 56));
    Check_ThumbSmooth =
        Place<GradientCheckBox>(GroupBox3, "Check_ThumbSmooth", QRect(12, 22, 200, 22));
    TranslateText(Check_ThumbSmooth, QT_TRANSLATE_NOOP("Window", "  平滑."));
    Check_ThumbSmooth->setChecked(true);

    GroupBox4 =
        PlaceGroup(Panel_web_3, "GroupBox4", QT_TRANSLATE_NOOP("Window", " 原始图片大小 : "),
                   QRect(14, 178, 529, 72));
    Radio_PicsizeT_full =
        PlaceRadio(GroupBox4, "Radio_PicsizeT_full",
                   QT_TRANSLATE_NOOP("Window", "  该页面的完整大小."), 12, 20, 300);
    PicSize_T_H = PlaceSpin(GroupBox4, "PicSize_T_H", QRect(), OptionLimits::CropHeight);
    Radio_PicsizeT_crop =
        PlaceCropRadio(GroupBox4, "Radio_PicsizeT_crop",
                       QT_TRANSLATE_NOOP("Window", "裁减高度为: "), 12, 44, PicSize_T_H);
    Radio_PicsizeT_full->setChecked(true);

    PlaceLabel(Panel_web_3, "Label19", QT_TRANSLATE_NOOP("Window", "预览:"), 18, 263);
    previewThumbnailButton =
        PlaceButton(Panel_web_3, "previewThumbnailButton",
                    QT_TRANSLATE_NOOP("Window", "预览略缩图"), QRect(54, 257, 90, 26));
    PlaceLabel(Panel_web_3, "Label21", QT_TRANSLATE_NOOP("Window", "保存:"), 158, 263);
    saveThumbnailBmpButton =
        PlaceButton(Panel_web_3, "saveThumbnailBmpButton",
                    QT_TRANSLATE_NOOP("Window", "保存为 BMP"), QRect(194, 257, 84, 26));
    saveThumbnailPngButton =
        PlaceButton(Panel_web_3, "saveThumbnailPngButton",
                    QT_TRANSLATE_NOOP("Window", "保存为 PNG"), QRect(282, 257, 84, 26));
    saveThumbnailJpegButton =
        PlaceButton(Panel_web_3, "saveThumbnailJpegButton",
                    QT_TRANSLATE_NOOP("Window", "保存为 JPG"), QRect(370, 257, 84, 26));
    saveDefaultsButton =
        PlaceButton(Panel_web_3, "saveDefaultsButton",
                    QT_TRANSLATE_NOOP("Window", "保存为默认设置"), QRect(443, 290, 100, 30));
    backToPictureButton = PlaceButton(Panel_web_3, "backToPictureButton", QStringLiteral("<"),
                                      QRect(14, 290, 40, 30));
    startNewPageFromThumbnailButton =
        PlaceButton(Panel_web_3, "startNewPageFromThumbnailButton",
                    QT_TRANSLATE_NOOP("Window", "开始新页面"), QRect(225, 290, 104, 30));
    finishFromThumbnailButton =
        PlaceButton(Panel_web_3, "finishFromThumbnailButton",
                    QT_TRANSLATE_NOOP("Window", "完成并退出"), QRect(334, 290, 104, 30));
}
