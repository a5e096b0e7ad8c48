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
    settings.showIE = Check_ShowIE->Checked();
    // Saved with the others: a save of the defaults must not reset them.
    settings.keepFixedElements = Check_KeepFixed->Checked();
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
    Edit_JpgComp->setValue(p.jpegQuality);
    SelectPair(Radio_Thumbsize_1, Radio_Thumbsize_2, t.byWidthAndHeight);
    Edit_Thumb_Width->setValue(t.width);
    Edit_Thumb_Height->setValue(t.height);
    Edit_Thumb_Percent->setValue(t.percent);
    Check_ThumbBorder->setChecked(t.border);
    Btn_ThumbColor->setSelectedColor(t.borderColor);
    Check_ThumbSmooth->setChecked(t.smooth);
    FShowIE = s.showIE;
    Check_ShowIE->setChecked(FShowIE);
    Check_KeepFixed->setChecked(s.keepFixedElements);
    SetChosenEngine(s.engine);
    SelectPair(Radio_Picsize_Crop, Radio_Picsize_Fullsize, p.crop);
    SelectPair(Radio_PicsizeT_crop, Radio_PicsizeT_full, t.crop);
    PicSize_H->setValue(p.cropHeight);
    PicSize_T_H->setValue(t.cropHeight);
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
    form->Edit_Thumb_Width->setEnabled(form->Radio_Thumbsize_1->Checked());
    form->Edit_Thumb_Height->setEnabled(form->Radio_Thumbsize_1->Checked());
    form->Edit_Thumb_Percent->setEnabled(form->Radio_Thumbsize_2->Checked());
    form->Btn_ThumbColor->setEnabled(form->Check_ThumbBorder->Checked());
}
