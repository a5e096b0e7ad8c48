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

QLabel* PlaceMenuCaption(QWidget* parent, const char* name, const char* text, int y) {
    QLabel* label = PlaceLabel(parent, name, text, 5, y, 145, 18);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

QLabel* PlaceHeading(QWidget* parent, const char* name, const char* text, int x, int y) {
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
    backgroundPicture =
        PlacePicture(this, "backgroundPicture", QStringLiteral(":/artwork/background.png"), 0, 0);
    versionLabel =
        PlaceLabel(this, "versionLabel", QT_TRANSLATE_NOOP("Window", "版本: 1.2.1"), 640, 52);
    versionLabel->setStyleSheet(QStringLiteral("color: #e8f0ff;"));
    commandLineModeLabel = PlaceLabel(this, "commandLineModeLabel",
                                      QT_TRANSLATE_NOOP("Window", "命令行模式."), 84, 48);
    commandLineModeLabel->setStyleSheet(QStringLiteral("color: #ffe27a; font-weight: bold;"));
    commandLineModeLabel->hide();

    menuCaptureImage = PlaceMenuPicture(this, "menuCaptureImage",
                                        QStringLiteral(":/artwork/menu_capture.png"), 104);
    menuCaptureLabel = PlaceMenuCaption(this, "menuCaptureLabel", "Vistrel", 156);
    menuSettingsImage = PlaceMenuPicture(this, "menuSettingsImage",
                                         QStringLiteral(":/artwork/menu_settings.png"), 196);
    menuSettingsLabel =
        PlaceMenuCaption(this, "menuSettingsLabel", QT_TRANSLATE_NOOP("Window", "设置"), 248);
    menuHelpImage =
        PlaceMenuPicture(this, "menuHelpImage", QStringLiteral(":/artwork/menu_help.png"), 288);
    // The caption's doubled ampersand stands for one.
    menuHelpLabel =
        PlaceMenuCaption(this, "menuHelpLabel", QT_TRANSLATE_NOOP("Window", "帮助 & 关于"), 340);

    statusLabel = PlaceLabel(this, "statusLabel", QString(), 11, 415, 670, 14);
    progressBar = Place<StyledProgressBar>(this, "progressBar", QRect(520, 414, 198, 14));
    progressBar->setSmooth(true);
    stopCaptureButton = PlaceButton(this, "stopCaptureButton", QT_TRANSLATE_NOOP("Window", "停止"),
                                    QRect(460, 411, 54, 20));
    stopCaptureButton->hide();
    // A page that never finishes loading must not hold the wizard: Esc in any of its windows
    // (the one out of sight may be the active one) while a capture is under way.
    stopCaptureShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    stopCaptureShortcut->setContext(Qt::ApplicationShortcut);
    stopCaptureShortcut->setEnabled(false);
    QObject::connect(stopCaptureShortcut, &QShortcut::activated, this, &MainWindow::StopCapture);
}

void MainWindow::CreateAddressPage() {
    addressPage = PlacePage(this, "addressPage", QStringLiteral(":/artwork/page_address.png"),
                            "addressPageBackground");
    PlaceHeading(addressPage, "addressHeading", QT_TRANSLATE_NOOP("Window", "网站地址 (URL)"), 24,
                 18);
    PlaceLabel(addressPage, "addressCaption", QT_TRANSLATE_NOOP("Window", "地址:"), 40, 57);
    addressEdit = Place<QLineEdit>(addressPage, "addressEdit", QRect(80, 52, 440, 24));
    addressEdit->setText(DefaultStartAddress());
    PlaceHeading(addressPage, "resolutionHeading", QT_TRANSLATE_NOOP("Window", "屏幕分辨率"), 24,
                 104);
    // Their captions belong to the page's background picture.
    resolution1280Radio =
        Place<GradientRadioButton>(addressPage, "resolution1280Radio", QRect(44, 140, 20, 20));
    resolution1024Radio =
        Place<GradientRadioButton>(addressPage, "resolution1024Radio", QRect(44, 176, 20, 20));
    resolution800Radio =
        Place<GradientRadioButton>(addressPage, "resolution800Radio", QRect(44, 212, 20, 20));
    resolution1024Radio->setChecked(true);
    startButton = PlaceButton(addressPage, "startButton", QT_TRANSLATE_NOOP("Window", "开始(&T)"),
                              QRect(420, 272, 110, 30));
}

void MainWindow::CreateSettingsPage() {
    settingsPage = PlacePage(this, "settingsPage", QStringLiteral(":/artwork/page_plain.png"));
    PlaceHeading(settingsPage, "settingsHeading", QT_TRANSLATE_NOOP("Window", "设置"), 24, 18);
    openWithGroup = Place<FlatGroupBox>(settingsPage, "openWithGroup", QRect(24, 50, 509, 112));
    TranslateTitle(openWithGroup, QT_TRANSLATE_NOOP("Window", " Internet Explorer 右键菜单 "));
    openWithGroup->setColorBorder(12164479);
    addToOpenWithButton =
        PlaceButton(openWithGroup, "addToOpenWithButton",
                    QT_TRANSLATE_NOOP("Window", "添加 Vistrel Pro 到 Internet Explorer 的右键菜单"),
                    QRect(20, 28, 469, 30));
    removeFromOpenWithButton = PlaceButton(
        openWithGroup, "removeFromOpenWithButton",
        QT_TRANSLATE_NOOP("Window", "从 Internet Explorer 的右键菜单中去除 Vistrel Pro"),
        QRect(20, 68, 469, 30));
    otherSettingsGroup =
        Place<FlatGroupBox>(settingsPage, "otherSettingsGroup", QRect(24, 170, 509, 106));
    TranslateTitle(otherSettingsGroup, QT_TRANSLATE_NOOP("Window", " 其他设置 "));
    otherSettingsGroup->setColorBorder(12164479);
    showBrowserWindowCheck =
        Place<StyledCheckBox>(otherSettingsGroup, "showBrowserWindowCheck", QRect(20, 26, 469, 22));
    TranslateText(showBrowserWindowCheck,
                  QT_TRANSLATE_NOOP("Window", "显示 Internet Explorer 窗口."));
    keepFixedCheck =
        Place<StyledCheckBox>(otherSettingsGroup, "keepFixedCheck", QRect(20, 50, 469, 22));
    TranslateText(keepFixedCheck,
                  QT_TRANSLATE_NOOP("Window", "每一屏都按原样截取 (固定的标题栏在每屏重复出现)."));
    // The visible browser window is always Qt WebEngine; this picks the out-of-sight engine.
    PlaceLabel(otherSettingsGroup, "Label_Engine", QT_TRANSLATE_NOOP("Window", "截图引擎:"), 22,
               78);
    engineChromiumRadio = Place<GradientRadioButton>(otherSettingsGroup, "engineChromiumRadio",
                                                     QRect(88, 74, 150, 22));
    TranslateText(engineChromiumRadio, QT_TRANSLATE_NOOP("Window", "Chromium (安全, 默认)"));
    engineQtRadio =
        Place<GradientRadioButton>(otherSettingsGroup, "engineQtRadio", QRect(252, 74, 237, 22));
    TranslateText(engineQtRadio,
                  QT_TRANSLATE_NOOP("Window", "Qt WebEngine (快速, 仅用于可信网页)"));
    engineChromiumRadio->setChecked(true);
    // Each language by its own name, so that a user who cannot read the other finds the way back.
    PlaceLabel(settingsPage, "languageLabel", QT_TRANSLATE_NOOP("Window", "语言:"), 26, 291);
    chineseLanguageRadio =
        Place<GradientRadioButton>(settingsPage, "chineseLanguageRadio", QRect(96, 288, 70, 22));
    chineseLanguageRadio->setText(QStringLiteral("中文"));
    englishLanguageRadio =
        Place<GradientRadioButton>(settingsPage, "englishLanguageRadio", QRect(172, 288, 90, 22));
    englishLanguageRadio->setText(QStringLiteral("English"));
    chineseLanguageRadio->setChecked(true);
    saveSettingsButton = PlaceButton(settingsPage, "saveSettingsButton",
                                     QT_TRANSLATE_NOOP("Window", "保存"), QRect(423, 284, 110, 30));
}

void MainWindow::CreateHelpPage() {
    helpPage = PlacePage(this, "helpPage", QStringLiteral(":/artwork/page_help.png"),
                         "helpPageBackground");
    PlaceHeading(helpPage, "helpHeading", QT_TRANSLATE_NOOP("Window", "帮助 & 关于"), 24, 18);
    programVersionLabel = PlaceLabel(
        helpPage, "programVersionLabel",
        QT_TRANSLATE_NOOP("Window", "Vistrel Pro 版本: 1.2.1 ( May 1, 2005 )"), 40, 56, 480, 18);
    embeddedEngineVersionLabel = PlaceLabel(
        helpPage, "embeddedEngineVersionLabel",
        QT_TRANSLATE_NOOP("Window", "Internet Explorer 版本: 6.1.021.10"), 40, 78, 480, 18);
    chromiumVersionLabel =
        PlaceLabel(helpPage, "chromiumVersionLabel", QString(), 40, 100, 480, 18);
    manualButton =
        PlaceButton(helpPage, "manualButton", QT_TRANSLATE_NOOP("Window", "Vistrel Pro 帮助"),
                    QRect(40, 138, 230, 30));
    supportForumButton =
        PlaceButton(helpPage, "supportForumButton", QT_TRANSLATE_NOOP("Window", "在线支持论坛"),
                    QRect(40, 176, 230, 30));
    checkUpdatesButton =
        PlaceButton(helpPage, "checkUpdatesButton", QT_TRANSLATE_NOOP("Window", "检查版本更新"),
                    QRect(40, 214, 230, 30));
    homePageButton = Place<StyledButton>(helpPage, "homePageButton", QRect(40, 252, 230, 30));
    KeepTranslated(homePageButton, [button = homePageButton] {
        button->setCaption(WindowText(QT_TRANSLATE_NOOP("Window", "访问 %1"))
                               .arg(QString::fromLatin1(kMakerHost)));
    });
}
