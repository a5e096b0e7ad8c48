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
    picturePage = Place<QWidget>(this, "picturePage", QRect(155, 80, 557, 326));
    PlacePicture(picturePage, "picturePageBackground", QStringLiteral(":/artwork/page_plain.png"),
                 0, 0);
    PlaceLabel(picturePage, "pictureCaption", QT_TRANSLATE_NOOP("Window", "图片:"), 24, 14);
    PlacePicture(picturePage, "pictureFrame", QStringLiteral(":/artwork/frame.png"), 20, 36);
    auto* panel1 = Place<QWidget>(picturePage, "previewBackdrop", QRect(34, 50, 142, 162));
    panel1->setAutoFillBackground(true);
    panel1->setStyleSheet(QStringLiteral("#previewBackdrop { background: rgb(83, 83, 83); }"));
    previewImage = Place<ClickableImage>(panel1, "previewImage", QRect(1, 1, 140, 160));
    previewImage->setScaledContents(false);
    pictureSizeLabel =
        PlaceLabel(picturePage, "pictureSizeLabel", QStringLiteral("1024 x 768"), 24, 236, 170, 18);
    bmpSizeLabel =
        PlaceLabel(picturePage, "bmpSizeLabel", QStringLiteral("BMP: 1000 KB"), 24, 256, 170, 18);

    PlaceLabel(picturePage, "pictureSizeCaption", QT_TRANSLATE_NOOP("Window", "图片大小:"), 214,
               14);
    pictureFullRadio = PlaceRadio(picturePage, "pictureFullRadio",
                                  QT_TRANSLATE_NOOP("Window", "  该页面的完整大小."), 226, 36, 300);
    cropHeightSpin = PlaceSpin(picturePage, "cropHeightSpin", QRect(), OptionLimits::CropHeight);
    pictureCropRadio =
        PlaceCropRadio(picturePage, "pictureCropRadio",
                       QT_TRANSLATE_NOOP("Window", "  裁减高度为: "), 226, 62, cropHeightSpin);
    pictureFullRadio->setChecked(true);

    PlaceLabel(picturePage, "previewCaption", QT_TRANSLATE_NOOP("Window", "预览:"), 214, 106);
    previewPictureButton =
        PlaceButton(picturePage, "previewPictureButton", QT_TRANSLATE_NOOP("Window", "预览图片"),
                    QRect(262, 100, 100, 26));
    PlaceLabel(picturePage, "saveCaption", QT_TRANSLATE_NOOP("Window", "保存:"), 214, 146);
    savePictureBmpButton =
        PlaceButton(picturePage, "savePictureBmpButton", QT_TRANSLATE_NOOP("Window", "保存为 BMP"),
                    QRect(262, 140, 90, 26));
    savePicturePngButton =
        PlaceButton(picturePage, "savePicturePngButton", QT_TRANSLATE_NOOP("Window", "保存为 PNG"),
                    QRect(358, 140, 90, 26));
    savePictureJpegButton =
        PlaceButton(picturePage, "savePictureJpegButton", QT_TRANSLATE_NOOP("Window", "保存为 JPG"),
                    QRect(454, 140, 90, 26));
    PlaceLabel(picturePage, "jpegQualityCaption", QT_TRANSLATE_NOOP("Window", "JPG 压缩格式 :"),
               262, 186);
    jpegQualitySpin = PlaceSpin(picturePage, "jpegQualitySpin", QRect(352, 182, 56, 24),
                                OptionLimits::JpegQuality);
    PlaceLabel(picturePage, "jpegQualityHint",
               QT_TRANSLATE_NOOP("Window", "* 100 为最佳质量.\n   0  为最高压缩率."), 416, 180, 130,
               32);

    makeThumbnailButton =
        PlaceButton(picturePage, "makeThumbnailButton", QT_TRANSLATE_NOOP("Window", "创建略缩图"),
                    QRect(214, 280, 106, 30));
    startNewPageButton =
        PlaceButton(picturePage, "startNewPageButton", QT_TRANSLATE_NOOP("Window", "开始新页面"),
                    QRect(326, 280, 106, 30));
    finishButton = PlaceButton(picturePage, "finishButton",
                               QT_TRANSLATE_NOOP("Window", "完成并退出"), QRect(438, 280, 106, 30));
}

void MainWindow::CreateThumbnailPage() {
    thumbnailPage = Place<QWidget>(this, "thumbnailPage", QRect(155, 80, 557, 326));
    PlacePicture(thumbnailPage, "thumbnailPageBackground",
                 QStringLiteral(":/artwork/page_plain.png"), 0, 0);
    PlaceLabel(thumbnailPage, "thumbnailHeading", QT_TRANSLATE_NOOP("Window", "创建略缩图"), 24, 8);

    thumbnailSizeGroup =
        PlaceGroup(thumbnailPage, "thumbnailSizeGroup",
                   QT_TRANSLATE_NOOP("Window", " 略缩图大小: "), QRect(14, 28, 529, 82));
    thumbnailBySizeRadio = PlaceRadio(thumbnailSizeGroup, "thumbnailBySizeRadio",
                                      QT_TRANSLATE_NOOP("Window", "  宽 :"), 12, 22, 78);
    thumbnailWidthSpin = PlaceSpin(thumbnailSizeGroup, "thumbnailWidthSpin", QRect(92, 21, 64, 24),
                                   OptionLimits::ThumbWidth);
    PlaceLabel(thumbnailSizeGroup, "thumbnailWidthUnit", QT_TRANSLATE_NOOP("Window", "像素"), 162,
               25);
    // The height's spin edit sits over the spaces between its caption and its unit.
    QLabel* label17 = PlaceLabel(thumbnailSizeGroup, "thumbnailHeightCaption", QString(), 206, 25);
    thumbnailHeightSpin =
        PlaceSpin(thumbnailSizeGroup, "thumbnailHeightSpin", QRect(), OptionLimits::ThumbHeight);
    KeepTranslated(label17, [label17, spin = thumbnailHeightSpin] {
        const QString caption = WindowText(QT_TRANSLATE_NOOP("Window", " 高 : "));
        const QString room(16, QLatin1Char(' '));
        label17->setText(caption + room + WindowText(QT_TRANSLATE_NOOP("Window", "像素")));
        label17->adjustSize();
        const QFontMetrics metrics(label17->font());
        spin->setGeometry(206 + metrics.horizontalAdvance(caption), 21,
                          metrics.horizontalAdvance(room), 24);
    });
    thumbnailByPercentRadio = PlaceRadio(thumbnailSizeGroup, "thumbnailByPercentRadio",
                                         QT_TRANSLATE_NOOP("Window", "  百分比:"), 12, 50, 96);
    thumbnailPercentSpin = PlaceSpin(thumbnailSizeGroup, "thumbnailPercentSpin",
                                     QRect(110, 49, 56, 24), OptionLimits::ThumbPercent);
    PlaceLabel(thumbnailSizeGroup, "thumbnailPercentUnit", QStringLiteral("%"), 172, 53);
    thumbnailBySizeRadio->setChecked(true);
    for (FlatSpinBox* spin : {thumbnailWidthSpin, thumbnailHeightSpin, thumbnailPercentSpin}) {
        spin->setEnabled(false);
    }

    thumbnailBorderGroup =
        PlaceGroup(thumbnailPage, "thumbnailBorderGroup",
                   QT_TRANSLATE_NOOP("Window", " 略缩图边框 :"), QRect(14, 116, 260, 56));
    thumbnailBorderCheck = Place<GradientCheckBox>(thumbnailBorderGroup, "thumbnailBorderCheck",
                                                   QRect(12, 22, 110, 22));
    TranslateText(thumbnailBorderCheck, QT_TRANSLATE_NOOP("Window", "  边框颜色 :"));
    thumbnailColorButton =
        Place<ColorButton>(thumbnailBorderGroup, "thumbnailColorButton", QRect(126, 19, 64, 28));
    thumbnailColorButton->setEnabled(false);
    KeepTranslated(thumbnailColorButton, [button = thumbnailColorButton] {
        button->setAutoCaption(WindowText(QT_TRANSLATE_NOOP("Window", "自动")));
        button->setOtherCaption(WindowText(QT_TRANSLATE_NOOP("Window", "其他颜色...")));
    });
    thumbnailOtherGroup =
        PlaceGroup(thumbnailPage, "thumbnailOtherGroup",
                   QT_TRANSLATE_NOOP("Window", " 其他选项 : "), QRect(283, 116, 260, 56));
    thumbnailSmoothCheck = Place<GradientCheckBox>(thumbnailOtherGroup, "thumbnailSmoothCheck",
                                                   QRect(12, 22, 200, 22));
    TranslateText(thumbnailSmoothCheck, QT_TRANSLATE_NOOP("Window", "  平滑."));
    thumbnailSmoothCheck->setChecked(true);

    thumbnailSourceGroup =
        PlaceGroup(thumbnailPage, "thumbnailSourceGroup",
                   QT_TRANSLATE_NOOP("Window", " 原始图片大小 : "), QRect(14, 178, 529, 72));
    thumbnailSourceFullRadio =
        PlaceRadio(thumbnailSourceGroup, "thumbnailSourceFullRadio",
                   QT_TRANSLATE_NOOP("Window", "  该页面的完整大小."), 12, 20, 300);
    thumbnailCropHeightSpin = PlaceSpin(thumbnailSourceGroup, "thumbnailCropHeightSpin", QRect(),
                                        OptionLimits::CropHeight);
    thumbnailSourceCropRadio = PlaceCropRadio(thumbnailSourceGroup, "thumbnailSourceCropRadio",
                                              QT_TRANSLATE_NOOP("Window", "裁减高度为: "), 12, 44,
                                              thumbnailCropHeightSpin);
    thumbnailSourceFullRadio->setChecked(true);

    PlaceLabel(thumbnailPage, "thumbnailPreviewCaption", QT_TRANSLATE_NOOP("Window", "预览:"), 18,
               263);
    previewThumbnailButton =
        PlaceButton(thumbnailPage, "previewThumbnailButton",
                    QT_TRANSLATE_NOOP("Window", "预览略缩图"), QRect(54, 257, 90, 26));
    PlaceLabel(thumbnailPage, "thumbnailSaveCaption", QT_TRANSLATE_NOOP("Window", "保存:"), 158,
               263);
    saveThumbnailBmpButton =
        PlaceButton(thumbnailPage, "saveThumbnailBmpButton",
                    QT_TRANSLATE_NOOP("Window", "保存为 BMP"), QRect(194, 257, 84, 26));
    saveThumbnailPngButton =
        PlaceButton(thumbnailPage, "saveThumbnailPngButton",
                    QT_TRANSLATE_NOOP("Window", "保存为 PNG"), QRect(282, 257, 84, 26));
    saveThumbnailJpegButton =
        PlaceButton(thumbnailPage, "saveThumbnailJpegButton",
                    QT_TRANSLATE_NOOP("Window", "保存为 JPG"), QRect(370, 257, 84, 26));
    saveDefaultsButton =
        PlaceButton(thumbnailPage, "saveDefaultsButton",
                    QT_TRANSLATE_NOOP("Window", "保存为默认设置"), QRect(443, 290, 100, 30));
    backToPictureButton = PlaceButton(thumbnailPage, "backToPictureButton", QStringLiteral("<"),
                                      QRect(14, 290, 40, 30));
    startNewPageFromThumbnailButton =
        PlaceButton(thumbnailPage, "startNewPageFromThumbnailButton",
                    QT_TRANSLATE_NOOP("Window", "开始新页面"), QRect(225, 290, 104, 30));
    finishFromThumbnailButton =
        PlaceButton(thumbnailPage, "finishFromThumbnailButton",
                    QT_TRANSLATE_NOOP("Window", "完成并退出"), QRect(334, 290, 104, 30));
}
