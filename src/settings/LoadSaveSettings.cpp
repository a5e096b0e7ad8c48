#include "settings/LoadSaveSettings.h"

#include "app/Main.h"
#include "common/VistrelError.h"
#include "controls/TFlatSpinEditInteger.h"
#include "controls/TJvOfficeColorButton.h"
#include "controls/TJvXPCheckbox.h"
#include "controls/TRbCheckBox.h"
#include "controls/TRbRadioButton.h"
#include "settings/RegistryKey.h"
#include "settings/SettingsValues.h"

namespace {

void SelectPair(TRbRadioButton* yes, TRbRadioButton* no, bool value) {
    yes->setChecked(value);
    no->setChecked(!value);
}

void ApplyResolution(TMainForm* form, int sr) {
    switch (sr) {
    case 1:
        form->RbRadioButton1->setChecked(true);
        break;
    case 2:
        form->RbRadioButton2->setChecked(true);
        break;
    case 3:
        form->RbRadioButton3->setChecked(true);
        break;
    default:
        break;
    }
}

// Stops at the first value that is missing or of another type; what came before stays applied.
void LoadValues(TMainForm* form, RegistryKey& key) {
    ApplyResolution(form, key.ReadInteger(QStringLiteral("SR")));
    form->Edit_JpgComp->setValue(key.ReadInteger(QStringLiteral("JPG Compression")));
    SelectPair(form->Radio_Thumbsize_1, form->Radio_Thumbsize_2,
               key.ReadBool(QStringLiteral("Thumb_Size")));
    form->Edit_Thumb_Width->setValue(key.ReadInteger(QStringLiteral("Thumb_Width")));
    form->Edit_Thumb_Height->setValue(key.ReadInteger(QStringLiteral("Thumb_Height")));
    form->Edit_Thumb_Percent->setValue(key.ReadInteger(QStringLiteral("Thumb_Percent")));
    form->Check_ThumbBorder->setChecked(key.ReadBool(QStringLiteral("Thumb_Border")));
    form->Btn_ThumbColor->setSelectedColor(
        static_cast<quint32>(key.ReadInteger(QStringLiteral("Thumb_Color"))));
    form->Check_ThumbSmooth->setChecked(key.ReadBool(QStringLiteral("Thumb_Smooth")));
    form->FShowIE = key.ReadBool(QStringLiteral("ShowIE"));
    form->Check_ShowIE->setChecked(form->FShowIE);
    SelectPair(form->Radio_Picsize_Crop, form->Radio_Picsize_Fullsize,
               key.ReadBool(QStringLiteral("PicSize")));
    SelectPair(form->Radio_PicsizeT_crop, form->Radio_PicsizeT_full,
               key.ReadBool(QStringLiteral("PicThumbSize")));
    form->PicSize_H->setValue(key.ReadInteger(QStringLiteral("PicSizeInteger")));
    form->PicSize_T_H->setValue(key.ReadInteger(QStringLiteral("PicSize_Thumb_Integer")));
    UpdateThumbEditStates(form);
}

void SaveValues(TMainForm* form, RegistryKey& key) {
    if (form->RbRadioButton1->Checked()) {
        key.WriteInteger(QStringLiteral("SR"), 1);
    } else if (form->RbRadioButton2->Checked()) {
        key.WriteInteger(QStringLiteral("SR"), 2);
    } else if (form->RbRadioButton3->Checked()) {
        key.WriteInteger(QStringLiteral("SR"), 3);
    }
    key.WriteInteger(QStringLiteral("JPG Compression"), form->Edit_JpgComp->Value());
    key.WriteBool(QStringLiteral("Thumb_Size"), form->Radio_Thumbsize_1->Checked());
    key.WriteInteger(QStringLiteral("Thumb_Width"), form->Edit_Thumb_Width->Value());
    key.WriteInteger(QStringLiteral("Thumb_Height"), form->Edit_Thumb_Height->Value());
    key.WriteInteger(QStringLiteral("Thumb_Percent"), form->Edit_Thumb_Percent->Value());
    key.WriteBool(QStringLiteral("Thumb_Border"), form->Check_ThumbBorder->Checked());
    key.WriteInteger(QStringLiteral("Thumb_Color"),
                     static_cast<int>(form->Btn_ThumbColor->SelectedColor()));
    key.WriteBool(QStringLiteral("Thumb_Smooth"), form->Check_ThumbSmooth->Checked());
    key.WriteBool(QStringLiteral("ShowIE"), form->Check_ShowIE->Checked());
    key.WriteBool(QStringLiteral("PicSize"), form->Radio_Picsize_Crop->Checked());
    key.WriteBool(QStringLiteral("PicThumbSize"), form->Radio_PicsizeT_crop->Checked());
    key.WriteInteger(QStringLiteral("PicSizeInteger"), form->PicSize_H->Value());
    key.WriteInteger(QStringLiteral("PicSize_Thumb_Integer"), form->PicSize_T_H->Value());
}

} // namespace

void LoadSaveSettings(TMainForm* form, bool load, bool save) {
    RegistryKey key;
    key.CreateKey(SettingsKeyPath());
    key.OpenKey(SettingsKeyPath(), true);
    if (load) {
        try {
            LoadValues(form, key);
        } catch (const VistrelError&) {
            // A first start, or a value of another type: write back what the controls now hold.
            key.CloseKey();
            LoadSaveSettings(form, false, true);
            UpdateThumbEditStates(form);
        }
    }
    if (save) {
        try {
            SaveValues(form, key);
        } catch (const VistrelError&) {
            // The rest is skipped; the caller carries on as after a successful save.
        }
    }
    key.CloseKey();
}

void UpdateThumbEditStates(TMainForm* form) {
    form->Edit_Thumb_Width->setEnabled(form->Radio_Thumbsize_1->Checked());
    form->Edit_Thumb_Height->setEnabled(form->Radio_Thumbsize_1->Checked());
    form->Edit_Thumb_Percent->setEnabled(form->Radio_Thumbsize_2->Checked());
    form->Btn_ThumbColor->setEnabled(form->Check_ThumbBorder->Checked());
}
