// SPDX-License-Identifier: GPL-3.0-or-later
// The frame, the address page, the settings page and the help page of the main window.
#include "gui/ClickableImage.h"
#include "gui/FormBuilder.h"
#include "gui/HelpLinks.h"
#include "gui/MainWindow.h"
#include "gui/widgets/FlatGroupBox.h"
#include "gui/widgets/GradientRadioButton.h"
#include "gui/widgets/StyledButton.h"
#include "gui/widgets/StyledCheckBox.h"
#include "gui/widgets/StyledProgressBar.h"

#include <QLineEdit>
#include <QShortcut>

namespace {

QWidget* PlacePage(QWidget* parent, const char* name, const QString& background,
                   const char* backgroundName = "") {
    auto* page = Place<QWidget>(parent, name, QRect(155, 80, 557, 326));
    PlacePicture(page, backgroundName, background, 0, 0)->lower();
    return page;
}

ClickableImage* PlaceMenuPicture(QWidget* parent, const char* name, const QString& resource,
                                 int y) {
    auto* image = Place<ClickableImage>(parent, name, QRect(53, y, 48, 48));
    image->setPixmap(QPixmap(resource));
    return image;
}

QLabel* PlaceMenuCaption(QWidget* parent, const char* name, const QString& text, int y) {
    QLabel* label = PlaceLabel(parent, name, text, 5, y, 145, 18);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

QLabel* PlaceHeading(QWidget* parent, const char* name, const QString& text, int x, int y) {
    QLabel* label = PlaceLabel(parent, name, text, x, y);
    QFont font = label->font();
    font.setBold(true);
    font.setPixelSize(14);
    label->setFont(font);
    label->adjustSize();
    return label;
}

} // namespace

void MainWindow::CreateFrame() {
    Image1 = PlacePicture(this, "Image1", QStringLiteral(":/artwork/background.png"), 0, 0);
    Label20 = PlaceLabel(this, "Label20", QStringLiteral("版本: 1.2.1"), 640, 52);
    Label20->setStyleSheet(QStringLiteral("color: #e8f0ff;"));
    Label26 = PlaceLabel(this, "Label26", QStringLiteral("命令行模式."), 84, 48);
    Label26->setStyleSheet(QStringLiteral("color: #ffe27a; font-weight: bold;"));
    Label26->hide();

    Image_Menu_1 =
        PlaceMenuPicture(this, "Image_Menu_1", QStringLiteral(":/artwork/menu_capture.png"), 104);
    Label_Menu_1 = PlaceMenuCaption(this, "Label_Menu_1", QStringLiteral("Vistrel"), 156);
    Image_Menu_2 =
        PlaceMenuPicture(this, "Image_Menu_2", QStringLiteral(":/artwork/menu_settings.png"), 196);
    Label_Menu_2 = PlaceMenuCaption(this, "Label_Menu_2", QStringLiteral("设置"), 248);
    Image_Menu_3 =
        PlaceMenuPicture(this, "Image_Menu_3", QStringLiteral(":/artwork/menu_help.png"), 288);
    // The caption's doubled ampersand stands for one.
    Label_Menu_3 = PlaceMenuCaption(this, "Label_Menu_3", QStringLiteral("帮助 & 关于"), 340);

    Label1 = PlaceLabel(this, "Label1", QString(), 11, 415, 670, 14);
    JvXPProgressBar1 = Place<StyledProgressBar>(this, "JvXPProgressBar1", QRect(520, 414, 198, 14));
    JvXPProgressBar1->setSmooth(true);
    stopCaptureButton =
        PlaceButton(this, "stopCaptureButton", QStringLiteral("停止"), QRect(460, 411, 54, 20));
    stopCaptureButton->hide();
    // A page that never finishes loading must not hold the wizard: Esc in any of its windows
    // (the one out of sight may be the active one) while a capture is under way.
    stopCaptureShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    stopCaptureShortcut->setContext(Qt::ApplicationShortcut);
    stopCaptureShortcut->setEnabled(false);
    QObject::connect(stopCaptureShortcut, &QShortcut::activated, this, &MainWindow::StopCapture);
}

void MainWindow::CreateAddressPage() {
    Panel_web_1 =
        PlacePage(this, "Panel_web_1", QStringLiteral(":/artwork/page_address.png"), "Image2");
    PlaceHeading(Panel_web_1, "Label3", QStringLiteral("网站地址 (URL)"), 24, 18);
    PlaceLabel(Panel_web_1, "Label4", QStringLiteral("地址:"), 40, 57);
    EditBox_Address = Place<QLineEdit>(Panel_web_1, "EditBox_Address", QRect(80, 52, 440, 24));
    EditBox_Address->setText(DefaultStartAddress());
    PlaceHeading(Panel_web_1, "Label2", QStringLiteral("屏幕分辨率"), 24, 104);
    // Their captions belong to the page's background picture.
    RbRadioButton1 =
        Place<GradientRadioButton>(Panel_web_1, "RbRadioButton1", QRect(44, 140, 20, 20));
    RbRadioButton2 =
        Place<GradientRadioButton>(Panel_web_1, "RbRadioButton2", QRect(44, 176, 20, 20));
    RbRadioButton3 =
        Place<GradientRadioButton>(Panel_web_1, "RbRadioButton3", QRect(44, 212, 20, 20));
    RbRadioButton2->setChecked(true);
    startButton = PlaceButton(Panel_web_1, "startButton", QStringLiteral("开始(&T)"),
                              QRect(420, 272, 110, 30));
}

void MainWindow::CreateSettingsPage() {
    Panel_Set = PlacePage(this, "Panel_Set", QStringLiteral(":/artwork/page_plain.png"));
    PlaceHeading(Panel_Set, "Label11", QStringLiteral("设置"), 24, 18);
    FlatGroupBox1 = Place<FlatGroupBox>(Panel_Set, "FlatGroupBox1", QRect(24, 50, 509, 112));
    FlatGroupBox1->setTitle(QStringLiteral(" Internet Explorer 右键菜单 "));
    FlatGroupBox1->setColorBorder(12164479);
    addToOpenWithButton = PlaceButton(
        FlatGroupBox1, "addToOpenWithButton",
        QStringLiteral("添加 Vistrel Pro 到 Internet Explorer 的右键菜单"), QRect(20, 28, 469, 30));
    removeFromOpenWithButton =
        PlaceButton(FlatGroupBox1, "removeFromOpenWithButton",
                    QStringLiteral("从 Internet Explorer 的右键菜单中去除 Vistrel Pro"),
                    QRect(20, 68, 469, 30));
    FlatGroupBox2 = Place<FlatGroupBox>(Panel_Set, "FlatGroupBox2", QRect(24, 170, 509, 106));
    FlatGroupBox2->setTitle(QStringLiteral(" 其他设置 "));
    FlatGroupBox2->setColorBorder(12164479);
    Check_ShowIE = Place<StyledCheckBox>(FlatGroupBox2, "Check_ShowIE", QRect(20, 26, 469, 22));
    Check_ShowIE->setText(QStringLiteral("显示 Internet Explorer 窗口."));
    Check_KeepFixed =
        Place<StyledCheckBox>(FlatGroupBox2, "Check_KeepFixed", QRect(20, 50, 469, 22));
    Check_KeepFixed->setText(QStringLiteral("每一屏都按原样截取 (固定的标题栏在每屏重复出现)."));
    // The visible browser window is always Qt WebEngine; this picks the out-of-sight engine.
    PlaceLabel(FlatGroupBox2, "Label_Engine", QStringLiteral("截图引擎:"), 22, 78);
    Radio_EngineChromium =
        Place<GradientRadioButton>(FlatGroupBox2, "Radio_EngineChromium", QRect(88, 74, 150, 22));
    Radio_EngineChromium->setText(QStringLiteral("Chromium (安全, 默认)"));
    Radio_EngineQt =
        Place<GradientRadioButton>(FlatGroupBox2, "Radio_EngineQt", QRect(252, 74, 237, 22));
    Radio_EngineQt->setText(QStringLiteral("Qt WebEngine (快速, 仅用于可信网页)"));
    Radio_EngineChromium->setChecked(true);
    btn_Saveset =
        PlaceButton(Panel_Set, "btn_Saveset", QStringLiteral("保存"), QRect(423, 284, 110, 30));
}

void MainWindow::CreateHelpPage() {
    Panel_Help = PlacePage(this, "Panel_Help", QStringLiteral(":/artwork/page_help.png"), "Image4");
    PlaceHeading(Panel_Help, "Label12", QStringLiteral("帮助 & 关于"), 24, 18);
    Label23 =
        PlaceLabel(Panel_Help, "Label23", QStringLiteral("Vistrel Pro 版本: 1.2.1 ( May 1, 2005 )"),
                   40, 56, 480, 18);
    Label22 = PlaceLabel(Panel_Help, "Label22",
                         QStringLiteral("Internet Explorer 版本: 6.1.021.10"), 40, 78, 480, 18);
    Label_ChromiumVersion =
        PlaceLabel(Panel_Help, "Label_ChromiumVersion", QString(), 40, 100, 480, 18);
    manualButton = PlaceButton(Panel_Help, "manualButton", QStringLiteral("Vistrel Pro 帮助"),
                               QRect(40, 138, 230, 30));
    supportForumButton = PlaceButton(Panel_Help, "supportForumButton",
                                     QStringLiteral("在线支持论坛"), QRect(40, 176, 230, 30));
    checkUpdatesButton = PlaceButton(Panel_Help, "checkUpdatesButton",
                                     QStringLiteral("检查版本更新"), QRect(40, 214, 230, 30));
    homePageButton = PlaceButton(Panel_Help, "homePageButton",
                                 QStringLiteral("访问 ") + QString::fromLatin1(kMakerHost),
                                 QRect(40, 252, 230, 30));
}
