#pragma once

#include "app/ExitCodes.h"
#include "capture/CaptureJob.h"
#include "capture/CaptureSession.h"
#include "common/ProgressLine.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <memory>

class Browser;
class StreamedPngFile;
class QWidget;

// An unattended capture: the job from the saved settings and the switches, the page captured
// with no window of the program's own, the files written from the picture in memory, and the
// run ended once with its exit status. Every message is one "vistrel-pro: ..." line on stderr.
class CommandLineRun : public QObject {
    Q_OBJECT

public:
    // The arguments as the program uses them (no program name, no empty ones).
    // Verbose, it also tells where its time went.
    CommandLineRun(QStringList arguments, bool verbose, QObject* parent = nullptr);
    ~CommandLineRun() override;

    // Begins the run; it ends by leaving the event loop with the run's exit status.
    void Start();
    // A termination signal: the run ends at once with 128 + signal, leaving no partial file.
    void Interrupt(int signal);
    int ExitStatus() const { return FExitStatus; }

private:
    bool PrepareJob();
    void StartCapture();
    void WatchPicture(const QImage& picture, int rowsFinal);
    void ShowLoadProgress(int progress, int maximum);
    void ShowScreensProgress(int done, int planned);
    void Captured(const QImage& picture);
    void Failed(CaptureFailure failure, const QString& message);
    ExitCode WriteFile(const QImage& picture, const QString& name, bool thumbnail);
    void PrintLine(const QString& message);
    void PrintTimings();
    void Finish(ExitCode code, const QString& message = QString());
    void Finish(int status, const QString& message);

    QStringList FArguments;
    CaptureJob FJob;
    std::unique_ptr<Browser> FBrowser;
    std::unique_ptr<CaptureSession> FSession;
    // Holds the engine's view where no screen shows it: a view paints only while shown.
    std::unique_ptr<QWidget> FHost;
    // A PNG picture is deflated while the page is still being captured.
    std::unique_ptr<StreamedPngFile> FStreamed;
    ProgressLine FProgress;
    QStringList FWarnings;
    bool FVerbose = false;
    QElapsedTimer FClock;
    qint64 FLoadedMs = -1;
    qint64 FCapturedMs = -1;
    int FScreens = 0;
    bool FFinished = false;
    int FExitStatus = 0;
};
