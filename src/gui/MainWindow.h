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
    ClickableImage* menuCaptureImage = nullptr;
    ClickableImage* menuSettingsImage = nullptr;
    ClickableImage* menuHelpImage = nullptr;
    QLabel* menuCaptureLabel = nullptr;
    QLabel* menuSettingsLabel = nullptr;
    QLabel* menuHelpLabel = nullptr;
    QWidget* addressPage = nullptr;
    QWidget* picturePage = nullptr;
    QWidget* thumbnailPage = nullptr;
    QWidget* settingsPage = nullptr;
    QWidget* helpPage = nullptr;
    GradientStyle* RbStyleManager1 = nullptr;

    // address page
    QLineEdit* addressEdit = nullptr;
    GradientRadioButton* resolution1280Radio = nullptr;
    GradientRadioButton* resolution1024Radio = nullptr;
    GradientRadioButton* resolution800Radio = nullptr;
    StyledButton* startButton = nullptr;

    // result page
    ClickableImage* previewImage = nullptr;
    QLabel* pictureSizeLabel = nullptr;
    QLabel* bmpSizeLabel = nullptr;
    GradientRadioButton* pictureFullRadio = nullptr;
    GradientRadioButton* pictureCropRadio = nullptr;
    FlatSpinBox* cropHeightSpin = nullptr;
    StyledButton* previewPictureButton = nullptr;
    StyledButton* savePictureBmpButton = nullptr;
    StyledButton* savePicturePngButton = nullptr;
    StyledButton* savePictureJpegButton = nullptr;
    FlatSpinBox* jpegQualitySpin = nullptr;
    StyledButton* makeThumbnailButton = nullptr;
    StyledButton* startNewPageButton = nullptr;
    StyledButton* finishButton = nullptr;

    // thumbnail page
    QGroupBox* thumbnailSizeGroup = nullptr;
    GradientRadioButton* thumbnailBySizeRadio = nullptr;
    FlatSpinBox* thumbnailWidthSpin = nullptr;
    FlatSpinBox* thumbnailHeightSpin = nullptr;
    GradientRadioButton* thumbnailByPercentRadio = nullptr;
    FlatSpinBox* thumbnailPercentSpin = nullptr;
    QGroupBox* thumbnailBorderGroup = nullptr;
    GradientCheckBox* thumbnailBorderCheck = nullptr;
    ColorButton* thumbnailColorButton = nullptr;
    QGroupBox* thumbnailOtherGroup = nullptr;
    GradientCheckBox* thumbnailSmoothCheck = nullptr;
    QGroupBox* thumbnailSourceGroup = nullptr;
    GradientRadioButton* thumbnailSourceFullRadio = nullptr;
    GradientRadioButton* thumbnailSourceCropRadio = nullptr;
    FlatSpinBox* thumbnailCropHeightSpin = nullptr;
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
    StyledCheckBox* showBrowserWindowCheck = nullptr;
    StyledCheckBox* keepFixedCheck = nullptr;
    GradientRadioButton* engineChromiumRadio = nullptr;
    GradientRadioButton* engineQtRadio = nullptr;
    GradientRadioButton* chineseLanguageRadio = nullptr;
    GradientRadioButton* englishLanguageRadio = nullptr;
    StyledButton* saveSettingsButton = nullptr;

    // help page
    QLabel* programVersionLabel = nullptr;
    QLabel* embeddedEngineVersionLabel = nullptr;
    QLabel* chromiumVersionLabel = nullptr;
    StyledButton* manualButton = nullptr;
    StyledButton* supportForumButton = nullptr;
    StyledButton* checkUpdatesButton = nullptr;
    StyledButton* homePageButton = nullptr;

    // shared state
    QString FCmdUrl;
    QString FWorkingPictureName;
    int FPage = 0;
    bool showBrowserWindow = false;
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
    void WindowShown();
    // The values saved beside the fourteen (every screen, the engine, the language), read before
    // the fourteen so that a rewrite after an incomplete load keeps them; the language is taken
    // at once.
    void LoadOptionalSettings();
    // The engine of out-of-sight captures as the settings page's choice has it.
    BrowserEngine ChosenEngine() const;
    void SetChosenEngine(BrowserEngine engine);
    // The windows' language as the settings page's choice has it.
    WindowLanguage ChosenLanguage() const;
    void MenuCaptureClick();
    void MenuSettingsClick();
    void MenuHelpClick();
    void StartClick();
    void PreviewImageClick();
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
    void ThumbnailBySizeClick();
    void ThumbnailByPercentClick();
    void ThumbnailBorderClick();
    void PreviewThumbnailClick();
    void SaveThumbnailBmpClick();
    void SaveThumbnailPngClick();
    void SaveThumbnailJpegClick();
    void SaveDefaultsClick();
    void SaveSettingsClick();
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
    void WindowClosing();
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

extern MainWindow* theMainWindow;
