// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/CaptureJob.h"
#include "capture/StoredSettings.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

class QImage;
class QLabel;
class QShortcut;
enum class ThumbnailTarget;
enum class WindowLanguage;
class QLineEdit;
class QGroupBox;
class ClickableImage;
class StyledButton;
class StyledProgressBar;
class StyledCheckBox;
class FlatSpinBox;
class FlatGroupBox;
class GradientRadioButton;
class GradientCheckBox;
class GradientStyle;
class ColorButton;

// The main window: side menu, five stacked pages, and the state the wizard, the capture and
// the command-line mode share. Components are public so the capture window and the output
// routines can read and write them, as the windows of this program always have.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // frame
    QLabel* backgroundPicture = nullptr;
    QLabel* statusLabel = nullptr;
    StyledProgressBar* progressBar = nullptr;
    // beside the progress bar while a capture is under way; Esc does the same
    StyledButton* stopCaptureButton = nullptr;
    QShortcut* stopCaptureShortcut = nullptr;
    QLabel* commandLineModeLabel = nullptr;
    QLabel* versionLabel = nullptr;
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
    GradientStyle* RbStyleManager1 = nullptr;

    // address page
    QLineEdit* EditBox_Address = nullptr;
    GradientRadioButton* resolution1280Radio = nullptr;
    GradientRadioButton* resolution1024Radio = nullptr;
    GradientRadioButton* resolution800Radio = nullptr;
    StyledButton* startButton = nullptr;

    // result page
    ClickableImage* Image_Preview = nullptr;
    QLabel* pictureSizeLabel = nullptr;
    QLabel* bmpSizeLabel = nullptr;
    GradientRadioButton* Radio_Picsize_Fullsize = nullptr;
    GradientRadioButton* Radio_Picsize_Crop = nullptr;
    FlatSpinBox* PicSize_H = nullptr;
    StyledButton* previewPictureButton = nullptr;
    StyledButton* savePictureBmpButton = nullptr;
    StyledButton* savePicturePngButton = nullptr;
    StyledButton* savePictureJpegButton = nullptr;
    FlatSpinBox* Edit_JpgComp = nullptr;
    StyledButton* makeThumbnailButton = nullptr;
    StyledButton* startNewPageButton = nullptr;
    StyledButton* finishButton = nullptr;

    // thumbnail page
    QGroupBox* GroupBox1 = nullptr;
    GradientRadioButton* Radio_Thumbsize_1 = nullptr;
    FlatSpinBox* Edit_Thumb_Width = nullptr;
    FlatSpinBox* Edit_Thumb_Height = nullptr;
    GradientRadioButton* Radio_Thumbsize_2 = nullptr;
    FlatSpinBox* Edit_Thumb_Percent = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    GradientCheckBox* Check_ThumbBorder = nullptr;
    ColorButton* Btn_ThumbColor = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    GradientCheckBox* Check_ThumbSmooth = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    GradientRadioButton* Radio_PicsizeT_full = nullptr;
    GradientRadioButton* Radio_PicsizeT_crop = nullptr;
    FlatSpinBox* PicSize_T_H = nullptr;
    StyledButton* previewThumbnailButton = nullptr;
    StyledButton* saveThumbnailBmpButton = nullptr;
    StyledButton* saveThumbnailPngButton = nullptr;
    StyledButton* saveThumbnailJpegButton = nullptr;
    StyledButton* saveDefaultsButton = nullptr;
    StyledButton* backToPictureButton = nullptr;
    StyledButton* startNewPageFromThumbnailButton = nullptr;
    StyledButton* finishFromThumbnailButton = nullptr;

    // settings page
    FlatGroupBox* openWithGroup = nullptr;
    StyledButton* addToOpenWithButton = nullptr;
    StyledButton* removeFromOpenWithButton = nullptr;
    FlatGroupBox* otherSettingsGroup = nullptr;
    StyledCheckBox* Check_ShowIE = nullptr;
    StyledCheckBox* Check_KeepFixed = nullptr;
    GradientRadioButton* Radio_EngineChromium = nullptr;
    GradientRadioButton* Radio_EngineQt = nullptr;
    GradientRadioButton* chineseLanguageRadio = nullptr;
    GradientRadioButton* englishLanguageRadio = nullptr;
    StyledButton* btn_Saveset = nullptr;

    // help page
    QLabel* programVersionLabel = nullptr;
    QLabel* embeddedEngineVersionLabel = nullptr;
    QLabel* Label_ChromiumVersion = nullptr;
    StyledButton* manualButton = nullptr;
    StyledButton* supportForumButton = nullptr;
    StyledButton* checkUpdatesButton = nullptr;
    StyledButton* homePageButton = nullptr;

    // shared state
    QString FCmdUrl;
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
    // The values saved beside the fourteen (every screen, the engine, the language), read before
    // the fourteen so that a rewrite after an incomplete load keeps them; the language is taken
    // at once.
    void LoadOptionalSettings();
    // The engine of out-of-sight captures as the settings page's choice has it.
    BrowserEngine ChosenEngine() const;
    void SetChosenEngine(BrowserEngine engine);
    // The windows' language as the settings page's choice has it.
    WindowLanguage ChosenLanguage() const;
    void Image_Menu_1Click();
    void Image_Menu_2Click();
    void Image_Menu_3Click();
    void StartClick();
    void Image_PreviewClick();
    void SavePictureBmpClick();
    void SavePicturePngClick();
    void SavePictureJpegClick();
    void MakeThumbnailClick();
    void BackToPictureClick();
    void StartNewPageClick();
    // Ends a capture under way and brings the wizard back to its address, as typed.
    void StopCapture();
    // The progress bar and the stop button, together.
    void ShowCaptureUnderWay(bool underWay);
    void FinishClick();
    void Radio_Thumbsize_1Click();
    void Radio_Thumbsize_2Click();
    void Check_ThumbBorderClick();
    void PreviewThumbnailClick();
    void SaveThumbnailBmpClick();
    void SaveThumbnailPngClick();
    void SaveThumbnailJpegClick();
    void SaveDefaultsClick();
    void btn_SavesetClick();
    void AddToOpenWithClick();
    void RemoveFromOpenWithClick();
    void ManualClick();
    void SupportForumClick();
    void CheckUpdatesClick();
    void HomePageClick();

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

extern MainWindow* MainForm;
