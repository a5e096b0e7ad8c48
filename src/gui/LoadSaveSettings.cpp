// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/LoadSaveSettings.h"

#include "common/VistrelError.h"
#include "gui/MainWindow.h"
#include "gui/widgets/ColorButton.h"
#include "gui/widgets/FlatSpinBox.h"
#include "gui/widgets/GradientCheckBox.h"
#include "gui/widgets/GradientRadioButton.h"
#include "gui/widgets/StyledCheckBox.h"
#include "settings/RegistryKey.h"
#include "settings/SettingsValues.h"

namespace {

void SelectPair(GradientRadioButton* yes, GradientRadioButton* no, bool value) {
    yes->setChecked(value);
    no->setChecked(!value);
}

} // namespace

StoredSettings MainWindow::ControlSettings() const {
    StoredSettings settings;
    settings.resolution = ChosenResolutionNumber();
    settings.showIE = showBrowserWindowCheck->Checked();
    // Saved with the others: a save of the defaults must not reset them.
    settings.keepFixedElements = keepFixedCheck->Checked();
    settings.engine = ChosenEngine();
    settings.picture = ReadPictureOptions();
    return settings;
}

void MainWindow::ApplySettings(const StoredSettings& s) {
    GradientRadioButton* const resolutions[] = {resolution1280Radio, resolution1024Radio,
                                                resolution800Radio};
    if (BrowserSizeOf(s.resolution).isValid()) {
        resolutions[s.resolution - 1]->setChecked(true);
    }
    const PictureOptions& p = s.picture;
    const ThumbnailOptions& t = p.thumbnail;
    jpegQualitySpin->setValue(p.jpegQuality);
    SelectPair(thumbnailBySizeRadio, thumbnailByPercentRadio, t.byWidthAndHeight);
    thumbnailWidthSpin->setValue(t.width);
    thumbnailHeightSpin->setValue(t.height);
    thumbnailPercentSpin->setValue(t.percent);
    thumbnailBorderCheck->setChecked(t.border);
    thumbnailColorButton->setSelectedColor(t.borderColor);
    thumbnailSmoothCheck->setChecked(t.smooth);
    showBrowserWindow = s.showIE;
    showBrowserWindowCheck->setChecked(showBrowserWindow);
    keepFixedCheck->setChecked(s.keepFixedElements);
    SetChosenEngine(s.engine);
    SelectPair(pictureCropRadio, pictureFullRadio, p.crop);
    SelectPair(thumbnailSourceCropRadio, thumbnailSourceFullRadio, t.crop);
    cropHeightSpin->setValue(p.cropHeight);
    thumbnailCropHeightSpin->setValue(t.cropHeight);
}

// A load stops at the first value that is missing or of another type; what came before it is
// shown, and all fourteen are then written back as the controls hold them.
void LoadSaveSettings(MainWindow* form, bool load, bool save) {
    RegistryKey key;
    key.CreateKey(SettingsKeyPath());
    key.OpenKey(SettingsKeyPath(), true);
    if (load) {
        StoredSettings settings = form->ControlSettings();
        bool complete = true;
        try {
            ReadStoredSettings(key, settings);
        } catch (const VistrelError&) {
            complete = false;
        }
        form->ApplySettings(settings);
        UpdateThumbEditStates(form);
        save = save || !complete;
    }
    if (save) {
        try {
            WriteStoredSettings(key, form->ControlSettings());
        } catch (const VistrelError&) {
            // The rest is skipped; the caller carries on as after a successful save.
        }
    }
    key.CloseKey();
}

void UpdateThumbEditStates(MainWindow* form) {
    form->thumbnailWidthSpin->setEnabled(form->thumbnailBySizeRadio->Checked());
    form->thumbnailHeightSpin->setEnabled(form->thumbnailBySizeRadio->Checked());
    form->thumbnailPercentSpin->setEnabled(form->thumbnailByPercentRadio->Checked());
    form->thumbnailColorButton->setEnabled(form->thumbnailBorderCheck->Checked());
}
