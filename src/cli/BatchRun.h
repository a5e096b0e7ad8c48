// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/BatchOptions.h"
#include "cli/BatchOutcome.h"
#include "cli/CommandLineCapture.h"
#include "cli/PreparedJob.h"
#include "common/ProgressLine.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QSet>

class BatchPage;
class ChromiumProcess;

// Many captures in one process: each line of the batch file is a single run's switches, with
// the saved settings as its defaults. Up to `jobs` pages load and capture at once, each in a
// page and profile of its own; a line that fails fails alone. Every line ends in one JSON line
// on stdout, in the order the lines finish; a terminal also gets one progress line on stderr.
class BatchRun : public QObject {
    Q_OBJECT

public:
    BatchRun(BatchOptions options, QObject* parent = nullptr);
    ~BatchRun() override;

    // Begins the run; it ends by leaving the event loop: 0 when every line was written,
    // 9 when any failed, 2 when the batch file cannot be read.
    void Start();
    // A termination signal: the pages are stopped and the run ends with 128 + signal.
    void Interrupt(int signal);

private:
    struct Line {
        int number = 0;
        QStringList arguments;
        PreparedJob prepared;
    };

    bool ReadLines();
    void Plan(const QList<Line>& lines);
    int JobsToRun();
    void StartMore();
    void StartLine(const Line& line);
    void LineDone(BatchPage* page, int number, const CaptureOutcome& outcome);
    void Report(const BatchOutcome& outcome);
    void ShowProgress();
    void PrintLine(const QString& message);
    void Finish(int status, const QString& message = QString());

    BatchOptions FOptions;
    QDateTime FBatchChanged;
    QList<Line> FWaiting;
    QSet<BatchPage*> FRunning;
    // One Chromium serves every line that captures on it.
    std::shared_ptr<ChromiumProcess> FChromium;
    int FJobs = 1;
    int FTotal = 0;
    int FDone = 0;
    int FFailed = 0;
    bool FFinished = false;
    QElapsedTimer FClock;
    ProgressLine FProgress;
};
