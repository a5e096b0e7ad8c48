// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/CaptureJob.h"
#include "capture/CaptureSession.h"
#include "cli/ExitCodes.h"

#include <QElapsedTimer>
#include <QFuture>
#include <QObject>
#include <QSize>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <memory>

class Browser;
class StreamedPngFile;

// How one unattended capture ended: the exit status it gives a run of its own, its message
// (the error, or the files it could not write), what it wrote, and where its time went.
struct CaptureOutcome {
    ExitCode code = ExitCode::Success;
    QString message;
    QStringList written;
    QSize size;
    qint64 firstScreenMs = -1;
    qint64 capturedMs = -1;
    qint64 finishedMs = 0;
    int screens = 0;
    PageFacts page;
};

// Captures one job on a browser of its own and writes its files from the picture in memory (a
// PNG while the page is still being captured). The browser's view, if it has one, is shown
// where no screen shows it: a view paints only while shown. A single run and each page of a
// batch run are one of these.
class CommandLineCapture : public QObject {
    Q_OBJECT

public:
    CommandLineCapture(const CaptureJob& job, std::unique_ptr<Browser> browser,
                       QObject* parent = nullptr);
    ~CommandLineCapture() override;

    void Start();
    // Ends the capture part way; it still reports Finished, with a failure.
    void Stop();
    const CaptureJob& Job() const { return FJob; }

signals:
    void LoadProgress(int progress, int maximum);
    void ScreensProgress(int done, int planned);
    void Writing(const QString& name);
    // The capture goes on (the page was captured before it finished loading).
    void Warning(const QString& message);
    void Finished(const CaptureOutcome& outcome);

private:
    void WatchPicture(const QImage& picture, int rowsFinal);
    void Captured(const QImage& picture);
    QCoro::Task<> FinishOnceWritten();
    void Failed(CaptureFailure failure, const QString& message);
    ExitCode WriteFile(const QImage& picture, const QString& name, bool thumbnail);
    ExitCode WriteFiles(const QImage& picture);
    void Finish(ExitCode code, const QString& message);

    CaptureJob FJob;
    std::unique_ptr<Browser> FBrowser;
    std::unique_ptr<CaptureSession> FSession;
    std::unique_ptr<StreamedPngFile> FStreamed;
    QStringList FUnwritten;
    CaptureOutcome FOutcome;
    QElapsedTimer FClock;
    struct Written {
        ExitCode code = ExitCode::Success;
        QString message;
    };
    QFuture<Written> FWriting;
};
