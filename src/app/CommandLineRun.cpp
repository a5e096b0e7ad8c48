#include "app/CommandLineRun.h"

#include "app/CommandLineJob.h"
#include "app/CommandLineMessage.h"
#include "app/CommandLineNames.h"
#include "app/ErrorReport.h"
#include "capture/WebEngineBrowser.h"
#include "common/ErrorText.h"
#include "common/TerminationSignals.h"
#include "common/VistrelError.h"
#include "output/PictureCrop.h"
#include "output/SavePicture.h"
#include "output/StreamedPngFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QWidget>

#include <cstdio>

CommandLineRun::CommandLineRun(QStringList arguments, bool verbose, QObject* parent)
    : QObject(parent), FArguments(std::move(arguments)), FVerbose(verbose) {}

CommandLineRun::~CommandLineRun() {
    FStreamed.reset();
    FSession.reset();
    FBrowser.reset();
    FHost.reset();
}

void CommandLineRun::Start() {
    FClock.start();
    // Nobody answers a message box in an unattended run.
    SetUnattended(true);
    if (PrepareJob())
        StartCapture();
}

// False when the run has already ended: a refused path, or nothing to write.
bool CommandLineRun::PrepareJob() {
    StoredSettings settings;
    try {
        settings = LoadStoredSettings();
    } catch (const VistrelError& error) {
        // the run goes on with the defaults rather than wait for a window nobody watches
        PrintLine(ErrorReportText(error.message()));
    }
    const CommandLineJob built = BuildCommandLineJob(settings, FArguments);
    for (const QString& message : built.rejectedPaths)
        PrintLine(message);
    if (!built.rejectedPaths.isEmpty()) {
        Finish(ExitCode::RejectedPath);
        return false;
    }
    FJob = built.job;
    if (FJob.pictureFile.isEmpty() && !FJob.makeThumbnail) {
        Finish(ExitCode::BadUsage,
               QStringLiteral("no file to write: give /p:<picture file> (see --help)"));
        return false;
    }
    return true;
}

// The engine's view paints only while shown: it is shown where no screen shows it.
void CommandLineRun::StartCapture() {
    auto* browser = new WebEngineBrowser;
    FBrowser.reset(browser);
    browser->SetQuiet(true);
    FHost = std::make_unique<QWidget>();
    FHost->setAttribute(Qt::WA_DontShowOnScreen);
    FHost->resize(FJob.browserSize);
    browser->Widget()->setParent(FHost.get());
    FSession = std::make_unique<CaptureSession>(*browser);
    connect(FSession.get(), &CaptureSession::LoadProgress, this, &CommandLineRun::ShowLoadProgress);
    connect(FSession.get(), &CaptureSession::ScreensProgress, this,
            &CommandLineRun::ShowScreensProgress);
    connect(FSession.get(), &CaptureSession::Warning, this, &CommandLineRun::PrintLine);
    connect(FSession.get(), &CaptureSession::Captured, this, &CommandLineRun::Captured);
    connect(FSession.get(), &CaptureSession::Failed, this, &CommandLineRun::Failed);
    if (FormatOfName(FJob.pictureFile) == CmdFileFormat::Png && !FJob.picture.crop) {
        FStreamed = std::make_unique<StreamedPngFile>(FJob.pictureFile);
        FSession->SetPictureWatcher(
            [this](const QImage& picture, int rows) { WatchPicture(picture, rows); });
    }
    FSession->Start(FJob);
    FHost->show();
}

void CommandLineRun::WatchPicture(const QImage& picture, int rowsFinal) {
    if (rowsFinal < 0) {
        FStreamed->Abandon();
    } else if (rowsFinal == 0) {
        try {
            FStreamed->Begin(picture);
        } catch (const VistrelError&) {
            // written after the capture instead, where the same error ends the run
        }
    } else {
        FStreamed->RowsFinal(rowsFinal);
    }
}

void CommandLineRun::ShowLoadProgress(int progress, int maximum) {
    if (progress >= 0 && maximum > 0)
        FProgress.Show(QStringLiteral("vistrel-pro: loading %1 (%2 %)")
                           .arg(FJob.address)
                           .arg(progress * 100 / maximum));
}

void CommandLineRun::ShowScreensProgress(int done, int planned) {
    if (done == 1)
        FLoadedMs = FClock.elapsed();
    FScreens = done;
    FProgress.Show(QStringLiteral("vistrel-pro: captured %1 of %2 screens").arg(done).arg(planned));
}

void CommandLineRun::Captured(const QImage& picture) {
    FCapturedMs = FClock.elapsed();
    ExitCode status = ExitCode::Success;
    try {
        if (!FJob.pictureFile.isEmpty())
            status = WriteFile(picture, FJob.pictureFile, false);
        if (FJob.makeThumbnail) {
            const ExitCode thumbnail = WriteFile(picture, FJob.thumbnailFile, true);
            if (status == ExitCode::Success)
                status = thumbnail;
        }
    } catch (const VistrelError& error) {
        Finish(ExitCode::WriteFailed, error.message());
        return;
    }
    if (FVerbose)
        PrintTimings();
    Finish(status, FWarnings.join(QStringLiteral("; ")));
}

// From the start of the run: the first screen pasted, the last, and the files written.
void CommandLineRun::PrintTimings() {
    PrintLine(QStringLiteral("timings: first screen at %1 ms, %2 screens done at %3 ms, files "
                             "written at %4 ms")
                  .arg(FLoadedMs)
                  .arg(FScreens)
                  .arg(FCapturedMs)
                  .arg(FClock.elapsed()));
}

void CommandLineRun::Failed(CaptureFailure failure, const QString& message) {
    Finish(failure == CaptureFailure::LoadFailed ? ExitCode::LoadFailed : ExitCode::CaptureFailed,
           message);
}

ExitCode CommandLineRun::WriteFile(const QImage& picture, const QString& name, bool thumbnail) {
    const CmdFileFormat format = FormatOfName(name);
    if (format == CmdFileFormat::Unknown) {
        FWarnings << QStringLiteral("%1 does not end in bmp, png or jpg; not written").arg(name);
        return ExitCode::UnknownFormat;
    }
    FProgress.Show(QStringLiteral("vistrel-pro: writing %1").arg(name));
    const PictureOptions& options = FJob.picture;
    const QImage image = thumbnail      ? BuildThumbnail(picture, options.thumbnail)
                         : options.crop ? ChangeHeight(picture, options.cropHeight)
                                        : picture;
    if (!thumbnail && FStreamed && FStreamed->Begun())
        FStreamed->Finish();
    else if (format == CmdFileFormat::Bmp)
        SavePictureAsBmp(image, name);
    else if (format == CmdFileFormat::Png)
        SavePictureAsPng(image, name);
    else
        SavePictureAsJpeg(image, name, options.jpegQuality);
    return ExitCode::Success;
}

void CommandLineRun::PrintLine(const QString& message) {
    FProgress.Clear();
    std::fputs(qPrintable(StderrLine(message)), stderr);
    std::fflush(stderr);
}

void CommandLineRun::Interrupt(int signal) {
    Finish(TerminationSignals::ExitStatusFor(signal), TerminationSignals::Description(signal));
    if (FSession)
        FSession->Stop(); // what it reports now is no news
}

void CommandLineRun::Finish(ExitCode code, const QString& message) {
    Finish(ToInt(code), message);
}

// A run ends once: whatever else fails on the way out is no news.
void CommandLineRun::Finish(int status, const QString& message) {
    if (FFinished)
        return;
    FFinished = true;
    if (!message.isEmpty())
        PrintLine(message);
    FProgress.Clear();
    FExitStatus = status;
    QCoreApplication::exit(status);
}
