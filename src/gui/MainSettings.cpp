// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the shown window and the two places where settings are saved.
#include "capture/StoredSettings.h"
#include "common/CommandLineSplit.h"
#include "common/ErrorReport.h"
#include "common/VistrelError.h"
#include "gui/LoadSaveSettings.h"
#include "gui/MainWindow.h"
#include "gui/WindowLanguage.h"
#include "gui/widgets/GradientRadioButton.h"
#include "gui/widgets/StyledCheckBox.h"
#include "gui/widgets/StyledProgressBar.h"
#include "settings/RegistryKey.h"
#include "settings/SettingsValues.h"

#include <QCoreApplication>
#include <QLineEdit>

void MainWindow::WindowShown() {
    ShowCaptureUnderWay(false);
    const QStringList arguments = ParseCommandLine(FCommandLine).mid(1);
    LoadOptionalSettings();
    LoadSaveSettings(this, true, false);
    // Two or more arguments are an unattended run, which never opens this window.
    if (arguments.size() == 1 && arguments.first().startsWith(QLatin1String("/u"))) {
        FCmdUrl = arguments.first().mid(3);
        addressEdit->setText(FCmdUrl);
    }
}

void MainWindow::LoadOptionalSettings() {
    RegistryKey key;
    WindowLanguage language = WindowLanguage::Chinese;
    if (key.OpenKey(SettingsKeyPath(), false)) {
        keepFixedCheck->setChecked(ReadKeepFixed(key));
        SetChosenEngine(ReadCaptureEngine(key));
        language = ReadWindowLanguage(key);
    }
    key.CloseKey();
    (language == WindowLanguage::English ? englishLanguageRadio : chineseLanguageRadio)
        ->setChecked(true);
    UseWindowLanguage(language);
}

WindowLanguage MainWindow::ChosenLanguage() const {
    return englishLanguageRadio->Checked() ? WindowLanguage::English : WindowLanguage::Chinese;
}

BrowserEngine MainWindow::ChosenEngine() const {
    return engineQtRadio->Checked() ? BrowserEngine::Qt : BrowserEngine::Default;
}

void MainWindow::SetChosenEngine(BrowserEngine engine) {
    (engine == BrowserEngine::Qt ? engineQtRadio : engineChromiumRadio)->setChecked(true);
}

void MainWindow::SaveDefaultsClick() {
    LoadSaveSettings(this, false, true);
    ShowInformation(QStringLiteral("Save successful."));
}

void MainWindow::SaveSettingsClick() {
    RegistryKey key;
    key.CreateKey(SettingsKeyPath());
    key.OpenKey(SettingsKeyPath(), true);
    showBrowserWindow = showBrowserWindowCheck->Checked();
    key.WriteBool(SettingsValues::SettingName(SettingsValues::ShowIE), showBrowserWindow);
    key.WriteBool(QString::fromLatin1(SettingsValues::KeepFixedName), keepFixedCheck->Checked());
    WriteCaptureEngine(key, ChosenEngine());
    WriteWindowLanguage(key, ChosenLanguage());
    UseWindowLanguage(ChosenLanguage());
    ShowInformation(QStringLiteral("Save successful.    "));
    MenuCaptureClick();
    key.CloseKey();
}
