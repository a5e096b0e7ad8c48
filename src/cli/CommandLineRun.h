// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/BatchOutcome.h"
#include "cli/CommandLineCapture.h"
#include "cli/ExitCodes.h"
#include "common/ProgressLine.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <memory>

// An unattended capture: the job from the saved settings and the switches, the page captured
// with no window of the program's own, the files written from the picture in memory, and the
// run ended once with its exit status. Every message is one "vistrel-pro: ..." line on stderr;
// with --json the run ends by printing its report, the keys of a batch line, on stdout.
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
    void ShowLoadProgress(int progress, int maximum);
    void ShowScreensProgress(int done, int planned);
    void Captured(const CaptureOutcome& outcome);
    void PrintLine(const QString& message);
    void PrintTimings(const CaptureOutcome& outcome);
    void Finish(int status, const QString& message);

    QStringList FArguments;
    QString FAddress;
    std::unique_ptr<CommandLineCapture> FCapture;
    ProgressLine FProgress;
    QElapsedTimer FClock;
    qint64 FCaptureStartMs = 0;
    bool FVerbose = false;
    bool FFinished = false;
    int FExitStatus = 0;
    bool FJson = false;
    BatchOutcome FReport;
};
