// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLineCapture.h"

#include "capture/Browser.h"
#include "cli/CommandLineNames.h"
#include "common/VistrelError.h"
#include "output/JpegEncoder.h"
#include "output/PictureCrop.h"
#include "output/PictureFiles.h"
#include "output/StreamedPngFile.h"

#include <QtConcurrentRun>

CommandLineCapture::CommandLineCapture(const CaptureJob& job, std::unique_ptr<Browser> browser,
                                       QObject* parent)
    : QObject(parent), FJob(job), FBrowser(std::move(browser)) {
    FBrowser->SetQuiet(true);
    FSession = std::make_unique<CaptureSession>(*FBrowser);
    connect(FSession.get(), &CaptureSession::LoadProgress, this, &CommandLineCapture::LoadProgress);
    connect(FSession.get(), &CaptureSession::ScreensProgress, this, [this](int done, int planned) {
        if (done == 1)
            FOutcome.firstScreenMs = FClock.elapsed();
        FOutcome.screens = done;
        emit ScreensProgress(done, planned);
    });
    connect(FSession.get(), &CaptureSession::Warning, this, &CommandLineCapture::Warning);
    connect(FSession.get(), &CaptureSession::Captured, this, &CommandLineCapture::Captured);
    connect(FSession.get(), &CaptureSession::Failed, this, &CommandLineCapture::Failed);
}

CommandLineCapture::~CommandLineCapture() {
    FWriting.waitForFinished(); // the files are not pulled from under their writer
    FStreamed.reset();
    FSession.reset();
    FBrowser.reset();
}

void CommandLineCapture::Start() {
    FClock.start();
    if (FormatOfName(FJob.pictureFile) == CmdFileFormat::Png && !FJob.picture.crop) {
        FStreamed = std::make_unique<StreamedPngFile>(FJob.pictureFile);
        FSession->SetPictureWatcher(
            [this](const QImage& picture, int rows) { WatchPicture(picture, rows); });
    }
    FSession->Start(FJob);
}

void CommandLineCapture::Stop() {
    FSession->Stop();
}

void CommandLineCapture::WatchPicture(const QImage& picture, int rowsFinal) {
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

// The files are encoded and written on the pool: the other pages of a batch go on meanwhile.
void CommandLineCapture::Captured(const QImage& picture) {
    FOutcome.capturedMs = FClock.elapsed();
    FOutcome.size = picture.size();
    FWriting = QtConcurrent::run([this, picture] {
        try {
            const ExitCode code = WriteFiles(picture);
            return Written{code, FUnwritten.join(QStringLiteral("; "))};
        } catch (const VistrelError& error) {
            return Written{ExitCode::WriteFailed, error.message()};
        }
    });
    FinishOnceWritten();
}

QCoro::Task<> CommandLineCapture::FinishOnceWritten() {
    const Written written =
        co_await FBrowser->Calls().Result(FWriting, QStringLiteral("writing"));
    Finish(written.code, written.message);
}

// The picture first; a file of no known format does not keep the other from being written.
ExitCode CommandLineCapture::WriteFiles(const QImage& picture) {
    ExitCode status = ExitCode::Success;
    if (!FJob.pictureFile.isEmpty())
        status = WriteFile(picture, FJob.pictureFile, false);
    if (FJob.makeThumbnail) {
        const ExitCode thumbnail = WriteFile(picture, FJob.thumbnailFile, true);
        if (status == ExitCode::Success)
            status = thumbnail;
    }
    return status;
}

ExitCode CommandLineCapture::WriteFile(const QImage& picture, const QString& name, bool thumbnail) {
    const CmdFileFormat format = FormatOfName(name);
    if (format == CmdFileFormat::Unknown) {
        FUnwritten << QStringLiteral("%1 does not end in bmp, png or jpg; not written").arg(name);
        return ExitCode::UnknownFormat;
    }
    emit Writing(name);
    const PictureOptions& options = FJob.picture;
    const QImage image = thumbnail      ? BuildThumbnail(picture, options.thumbnail)
                         : options.crop ? ChangeHeight(picture, options.cropHeight)
                                        : picture;
    if (!thumbnail && FStreamed && FStreamed->Begun()) {
        FStreamed->Finish();
    } else {
        RequirePicture(image);
        if (format == CmdFileFormat::Bmp)
            WriteBmpFile(image, name);
        else if (format == CmdFileFormat::Png)
            WritePngFile(image, name);
        else
            WriteJpegFile(EncodeJpeg(image, options.jpegQuality), name);
    }
    FOutcome.written << name;
    return ExitCode::Success;
}

void CommandLineCapture::Failed(CaptureFailure failure, const QString& message) {
    Finish(failure == CaptureFailure::LoadFailed ? ExitCode::LoadFailed : ExitCode::CaptureFailed,
           message);
}

void CommandLineCapture::Finish(ExitCode code, const QString& message) {
    FOutcome.code = code;
    FOutcome.message = message;
    FOutcome.finishedMs = FClock.elapsed();
    FOutcome.page = FSession->Facts();
    emit Finished(FOutcome);
}
