// Command-line mode: the switches, the unattended run and how it ends.
#include "app/CommandLineMessage.h"
#include "app/CommandLineNames.h"
#include "app/CommandLinePaths.h"
#include "app/CommandLineValues.h"
#include "app/ErrorReport.h"
#include "app/Main.h"
#include "capture/snap.h"
#include "common/VistrelError.h"
#include "controls/TFlatSpinEditInteger.h"
#include "controls/TJvOfficeColorButton.h"
#include "controls/TRbCheckBox.h"
#include "controls/TRbRadioButton.h"
#include "output/MakeThumbnail.h"
#include "output/PictureCrop.h"
#include "output/SavePicture.h"
#include "output/WorkingPicture.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>

namespace {

void SelectPair(TRbRadioButton* yes, TRbRadioButton* no) {
    yes->setChecked(true);
    no->setChecked(false);
}

void PrintLine(const QString& message) {
    std::fputs(qPrintable(StderrLine(message)), stderr);
    std::fflush(stderr);
}

} // namespace

void TMainForm::EnterCommandLineMode(const QStringList& arguments) {
    // Nobody answers a message box in an unattended run.
    SetUnattended(true);
    Label26->show();
    Panel_web_1->setEnabled(false);
    FCmdResolution = QStringLiteral("2");
    FMakeThumb = false;
    FShowIE = false;
    SelectPair(Radio_Picsize_Fullsize, Radio_Picsize_Crop);
    SelectPair(Radio_PicsizeT_full, Radio_PicsizeT_crop);
    Check_ThumbBorder->setChecked(false);
    for (const QString& argument : arguments) {
        ApplySwitch(ReadSwitch(argument));
    }
    FCmdLineMode = true;
    if (FRejectedPath) {
        FinishCommandLineRun(ExitCode::RejectedPath);
        return;
    }
    if (FPicFile.isEmpty() && !FMakeThumb) {
        FinishCommandLineRun(
            ExitCode::BadUsage,
            QStringLiteral("no file to write: give /p:<picture file> (see --help)"));
        return;
    }
    JvXPButton2Click();
    StartLoadTimeLimit();
}

void TMainForm::ApplySwitch(const CmdArgument& argument) {
    const QString& value = argument.value;
    switch (argument.kind) {
    case CmdSwitch::Url:
        FCmdUrl = value;
        EditBox_Address->setText(value);
        break;
    case CmdSwitch::PicFile:
        FPicFile = value;
        CheckCommandLinePath(value);
        break;
    case CmdSwitch::ThumbFile:
        FThumbFile = value;
        CheckCommandLinePath(value);
        FMakeThumb = true;
        break;
    case CmdSwitch::Resolution: {
        FCmdResolution = CmdResolutionText(value);
        TRbRadioButton* const buttons[] = {RbRadioButton1, RbRadioButton2, RbRadioButton3};
        if (const int choice = ResolutionChoice(FCmdResolution); choice > 0) {
            buttons[choice - 1]->setChecked(true);
        }
        break;
    }
    case CmdSwitch::ThumbSize: {
        SelectPair(Radio_Thumbsize_1, Radio_Thumbsize_2);
        const ThumbSizeValue size = ReadThumbSize(value);
        if (size.width) {
            Edit_Thumb_Width->setValue(*size.width);
        }
        if (size.height) {
            Edit_Thumb_Height->setValue(*size.height);
        }
        break;
    }
    case CmdSwitch::Border: {
        Check_ThumbBorder->setChecked(true);
        Btn_ThumbColor->setSelectedColor(0);
        bool ok = false;
        const quint32 color = HexToColor(value, &ok);
        if (ok) {
            Btn_ThumbColor->setSelectedColor(color);
        }
        break;
    }
    case CmdSwitch::Hide:
        SnapForm->move(-2000, -2000);
        break;
    case CmdSwitch::CropPicture:
        if (const auto rows = ReadInteger(value)) {
            PicSize_H->setValue(*rows);
            SelectPair(Radio_Picsize_Crop, Radio_Picsize_Fullsize);
        }
        break;
    case CmdSwitch::CropThumb:
        if (const auto rows = ReadInteger(value)) {
            PicSize_T_H->setValue(*rows);
            SelectPair(Radio_PicsizeT_crop, Radio_PicsizeT_full);
        }
        break;
    case CmdSwitch::LoadLimit:
        if (const auto seconds = ReadLoadLimit(value)) {
            FLoadTimeLimit = *seconds;
        }
        break;
    case CmdSwitch::None:
        break;
    }
}

void TMainForm::CheckCommandLinePath(const QString& path) {
    if (HasSpaceBeforeBackslash(path)) {
        PrintLine(CannotCreateFolderMessage(path));
        FRejectedPath = true;
    }
}

void TMainForm::StartLoadTimeLimit() {
    if (FLoadTimeLimit <= 0) {
        return;
    }
    FLoadTimer = new QTimer(this);
    FLoadTimer->setSingleShot(true);
    connect(FLoadTimer, &QTimer::timeout, this, [this] { LoadTimeLimitPassed(); });
    FLoadTimer->start(LoadLimitMilliseconds(FLoadTimeLimit));
}

// A capture under way has its own time limits: the load limit no longer applies to it.
void TMainForm::LoadTimeLimitPassed() {
    if (SnapForm->FCaptured || SnapForm->Capturing()) {
        return;
    }
    const QString address = EditBox_Address->text();
    bool hasDocument = false;
    try {
        hasDocument = SnapForm->WebBrowser_Snap->HasDocument();
    } catch (const VistrelError& error) {
        // A page busy for ever in its own script answers nothing, not even this.
        FinishCommandLineRun(ExitCode::LoadFailed,
                             QStringLiteral("%1 did not finish loading within %2 s: %3")
                                 .arg(address)
                                 .arg(FLoadTimeLimit)
                                 .arg(error.message()));
        return;
    }
    if (!hasDocument) {
        FinishCommandLineRun(
            ExitCode::LoadFailed,
            QStringLiteral("nothing of %1 arrived within %2 s").arg(address).arg(FLoadTimeLimit));
        return;
    }
    PrintLine(
        QStringLiteral("warning: %1 did not finish loading within %2 s; captured as it stands")
            .arg(address)
            .arg(FLoadTimeLimit));
    SnapForm->WebBrowser_Snap->Stop();
    SnapForm->CapturePage();
}

void TMainForm::ReportFailure(ExitCode code, const QString& message) {
    if (FCmdLineMode) {
        FinishCommandLineRun(code, message);
        return;
    }
    ShowErrorReport(message);
    if (code == ExitCode::LoadFailed) {
        JvXPButton21Click();
    }
}

ExitCode TMainForm::WriteCommandLineFile(const QString& name, bool thumbnail) {
    const CmdFileFormat format = FormatOfName(name);
    if (format == CmdFileFormat::Unknown) {
        FWarnings << QStringLiteral("%1 does not end in bmp, png or jpg; not written").arg(name);
        return ExitCode::UnknownFormat;
    }
    if (thumbnail) {
        const ThumbnailTarget target = format == CmdFileFormat::Bmp   ? ThumbnailTarget::Bmp
                                       : format == CmdFileFormat::Png ? ThumbnailTarget::Png
                                                                      : ThumbnailTarget::Jpeg;
        MakeThumbnail(target, name);
        return ExitCode::Success;
    }
    QImage picture = LoadWorkingPicture(FTempName);
    if (Radio_Picsize_Crop->Checked()) {
        picture = ChangeHeight(picture, PicSize_H->Value());
    }
    if (format == CmdFileFormat::Bmp) {
        SavePictureAsBmp(picture, name);
    } else if (format == CmdFileFormat::Png) {
        SavePictureAsPng(picture, name);
    } else {
        SavePictureAsJpeg(picture, name);
    }
    return ExitCode::Success;
}

void TMainForm::ProcessCapturedPicture() {
    if (FLoadTimer) {
        FLoadTimer->stop();
    }
    ExitCode status = ExitCode::Success;
    try {
        if (!FPicFile.isEmpty()) {
            status = WriteCommandLineFile(FPicFile, false);
        }
        if (FMakeThumb) {
            const ExitCode thumb =
                WriteCommandLineFile(ThumbnailFileName(FPicFile, FThumbFile), true);
            if (status == ExitCode::Success) {
                status = thumb;
            }
        }
    } catch (const VistrelError& error) {
        FinishCommandLineRun(ExitCode::WriteFailed, error.message());
        return;
    }
    FinishCommandLineRun(status, FWarnings.join(QStringLiteral("; ")));
}

// A run ends once: whatever else fails on the way out is no news.
void TMainForm::FinishCommandLineRun(ExitCode code, const QString& message) {
    if (FRunFinished) {
        return;
    }
    FRunFinished = true;
    if (FLoadTimer) {
        FLoadTimer->stop();
    }
    if (!message.isEmpty()) {
        PrintLine(message);
    }
    FExitStatus = ToInt(code);
    close();
}
