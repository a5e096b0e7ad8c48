// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/StoredSettings.h"
#include "capture/CaptureJob.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

class QImage;
class QLabel;
enum class ThumbnailTarget;
class QLineEdit;
class QGroupBox;
class ClickableImage;
class TJvXPButton;
class TJvXPProgressBar;
class TJvXPCheckbox;
class TFlatSpinEditInteger;
class TFlatGroupBox;
class TRbRadioButton;
class TRbCheckBox;
class TRbStyleManager;
class TJvOfficeColorButton;

// The main window: side menu, five stacked pages, and the state the wizard, the capture and
// the command-line mode share. Components are public so the capture window and the output
// routines can read and write them, as the windows of this program always have.
class TMainForm : public QWidget {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // frame
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    TJvXPProgressBar* JvXPProgressBar1 = nullptr;
    QLabel* Label26 = nullptr;
    QLabel* Label20 = nullptr;
    ClickableImage* Image_Menu_1 = nullptr;
    ClickableImage* Image_Menu_2 = nullptr;
    ClickableImage* Image_Menu_3 = nullptr;
    QLabel* Label_Menu_1 = nullptr;
    QLabel* Label_Menu_2 = nullptr;
    QLabel* Label_Menu_3 = nullptr;
    QWidget* Panel_web_1 = nullptr;
    QWidget* Panel_web_2 = nullptr;
    QWidget* Panel_web_3 = nullptr;
    QWidget* Panel_Set = nullptr;
    QWidget* Panel_Help = nullptr;
    TRbStyleManager* RbStyleManager1 = nullptr;

    // address page
    QLineEdit* EditBox_Address = nullptr;
    TRbRadioButton* RbRadioButton1 = nullptr;
    TRbRadioButton* RbRadioButton2 = nullptr;
    TRbRadioButton* RbRadioButton3 = nullptr;
    TJvXPButton* JvXPButton2 = nullptr;

    // result page
    ClickableImage* Image_Preview = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    TRbRadioButton* Radio_Picsize_Fullsize = nullptr;
    TRbRadioButton* Radio_Picsize_Crop = nullptr;
    TFlatSpinEditInteger* PicSize_H = nullptr;
    TJvXPButton* JvXPButton5 = nullptr;
    TJvXPButton* JvXPButton7 = nullptr;
    TJvXPButton* JvXPButton10 = nullptr;
    TJvXPButton* JvXPButton8 = nullptr;
    TFlatSpinEditInteger* Edit_JpgComp = nullptr;
    TJvXPButton* JvXPButton3 = nullptr;
    TJvXPButton* JvXPButton21 = nullptr;
    TJvXPButton* JvXPButton11 = nullptr;

    // thumbnail page
    QGroupBox* GroupBox1 = nullptr;
    TRbRadioButton* Radio_Thumbsize_1 = nullptr;
    TFlatSpinEditInteger* Edit_Thumb_Width = nullptr;
    TFlatSpinEditInteger* Edit_Thumb_Height = nullptr;
    TRbRadioButton* Radio_Thumbsize_2 = nullptr;
    TFlatSpinEditInteger* Edit_Thumb_Percent = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    TRbCheckBox* Check_ThumbBorder = nullptr;
    TJvOfficeColorButton* Btn_ThumbColor = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    TRbCheckBox* Check_ThumbSmooth = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    TRbRadioButton* Radio_PicsizeT_full = nullptr;
    TRbRadioButton* Radio_PicsizeT_crop = nullptr;
    TFlatSpinEditInteger* PicSize_T_H = nullptr;
    TJvXPButton* JvXPButton18 = nullptr;
    TJvXPButton* JvXPButton9 = nullptr;
    TJvXPButton* JvXPButton16 = nullptr;
    TJvXPButton* JvXPButton17 = nullptr;
    TJvXPButton* JvXPButton19 = nullptr;
    TJvXPButton* JvXPButton22 = nullptr;
    TJvXPButton* JvXPButton4 = nullptr;
    TJvXPButton* JvXPButton20 = nullptr;

    // settings page
    TFlatGroupBox* FlatGroupBox1 = nullptr;
    TJvXPButton* JvXPButton13 = nullptr;
    TJvXPButton* JvXPButton14 = nullptr;
    TFlatGroupBox* FlatGroupBox2 = nullptr;
    TJvXPCheckbox* Check_ShowIE = nullptr;
    TJvXPCheckbox* Check_KeepFixed = nullptr;
    TRbRadioButton* Radio_EngineChromium = nullptr;
    TRbRadioButton* Radio_EngineQt = nullptr;
    TJvXPButton* btn_Saveset = nullptr;

    // help page
    QLabel* Label23 = nullptr;
    QLabel* Label22 = nullptr;
    QLabel* Label_ChromiumVersion = nullptr;
    TJvXPButton* JvXPButton1 = nullptr;
    TJvXPButton* JvXPButton6 = nullptr;
    TJvXPButton* JvXPButton12 = nullptr;
    TJvXPButton* JvXPButton15 = nullptr;

    // shared state
    QString FCmdUrl;
    // Unattended runs have no window: this one never is a command-line run.
    bool FCmdLineMode = false;
    QString FTempName;
    int FPage = 0;
    bool FShowIE = false;
    // The process command line as the show handler reads it (item 0 is the program).
    QStringList FCommandLine;

    // The address the address box starts with and Start new page puts back.
    static QString DefaultStartAddress();

    void BringToFront(QWidget* page);
    // Browser size of the chosen resolution; an empty size when no choice is checked.
    QSize ChosenResolution() const;
    // The choice number (1, 2, 3) of the checked resolution button; 0 when none is.
    int ChosenResolutionNumber() const;
    PictureOptions ReadPictureOptions() const;
    // The wizard's capture as the controls describe it.
    CaptureJob CaptureJobFromControls() const;
    // The fourteen saved values as the controls hold them, and the other way round.
    StoredSettings ControlSettings() const;
    void ApplySettings(const StoredSettings& settings);
    // A capture that went well: kept as the working picture (written before anything shows it),
    // shown small with its size, and its height the limit of both crop heights.
    void ShowCapturedPicture(const QImage& picture);

    // handlers
    void FormShow();
    // The values saved beside the fourteen (every screen, the engine), read before the
    // fourteen so that a rewrite after an incomplete load keeps them.
    void LoadOptionalSettings();
    // The engine of out-of-sight captures as the settings page's choice has it.
    BrowserEngine ChosenEngine() const;
    void SetChosenEngine(BrowserEngine engine);
    void Image_Menu_1Click();
    void Image_Menu_2Click();
    void Image_Menu_3Click();
    void JvXPButton2Click();
    void Image_PreviewClick();
    void JvXPButton7Click();
    void JvXPButton10Click();
    void JvXPButton8Click();
    void JvXPButton3Click();
    void JvXPButton22Click();
    void JvXPButton21Click();
    void JvXPButton11Click();
    void Radio_Thumbsize_1Click();
    void Radio_Thumbsize_2Click();
    void Check_ThumbBorderClick();
    void JvXPButton18Click();
    void JvXPButton9Click();
    void JvXPButton16Click();
    void JvXPButton17Click();
    void JvXPButton19Click();
    void btn_SavesetClick();
    void JvXPButton13Click();
    void JvXPButton14Click();
    void JvXPButton1Click();
    void JvXPButton6Click();
    void JvXPButton12Click();
    void JvXPButton15Click();

    // A page that could not be loaded or captured: the user is told, and after a failed load
    // the wizard returns to the address page.
    void ReportFailure(const QString& message, bool loadFailed);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void CreateFrame();
    void CreateAddressPage();
    void CreateResultPage();
    void CreateThumbnailPage();
    void CreateSettingsPage();
    void CreateHelpPage();
    void ConnectHandlers();
    void SetMenuBold(QLabel* chosen);
    void StartHidden();
    void StartVisible();
    QImage LoadCroppedWorkingPicture() const;
    void MakeThumbnailOfWorkingPicture(ThumbnailTarget target);

    bool FShown = false;
    int FExitStatus = 0;
};

extern TMainForm* MainForm;
