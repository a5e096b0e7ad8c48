// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchRun.h"

#include "cli/BatchBudget.h"
#include "cli/BatchLines.h"
#include "cli/BatchPage.h"
#include "cli/BatchReport.h"
#include "cli/BatchResume.h"
#include "cli/BatchTargets.h"
#include "cli/CommandLineMessage.h"
#include "common/ErrorReport.h"
#include "common/ErrorText.h"
#include "common/TerminationSignals.h"
#include "common/VistrelError.h"
#include "engines/chromium/ChromiumProcess.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <utility>

namespace {

bool FromStandardInput(const QString& file) {
    return file == u"-";
}

BatchOutcome OutcomeOf(int number, const CaptureJob& job) {
    BatchOutcome outcome;
    outcome.line = number;
    outcome.address = job.address;
    return outcome;
}

// Empty when the file is open for reading.
QString OpenBatchFile(QFile& file, const QString& name) {
    if (FromStandardInput(name))
        return file.open(stdin, QIODevice::ReadOnly) ? QString() : file.errorString();
    if (QFileInfo(name).isDir())
        return QStringLiteral("it is a folder");
    return file.open(QIODevice::ReadOnly) ? QString() : file.errorString();
}

} // namespace

BatchRun::BatchRun(BatchOptions options, QObject* parent)
    : QObject(parent), FOptions(std::move(options)) {}

// The pages go before the engine does.
BatchRun::~BatchRun() {
    // A page still capturing is stopped as it goes, and what it reports then is no news.
    const QSet<BatchPage*> running = std::exchange(FRunning, {});
    for (BatchPage* page : running) {
        disconnect(page, nullptr, this, nullptr);
        delete page;
    }
}

void BatchRun::Start() {
    FClock.start();
    SetUnattended(true);
    if (!ReadLines())
        return;
    FJobs = JobsToRun();
    ShowProgress();
    StartMore();
}

// False when the run has already ended.
bool BatchRun::ReadLines() {
    const QString& name = FOptions.file;
    if (FOptions.resume && FromStandardInput(name)) {
        Finish(ToInt(ExitCode::BadUsage),
               QStringLiteral("--resume compares the pictures with the batch file's time; "
                              "standard input has none"));
        return false;
    }
    QFile file(name);
    const QString unreadable = OpenBatchFile(file, name);
    if (!unreadable.isEmpty()) {
        Finish(ToInt(ExitCode::BadUsage),
               QStringLiteral("cannot read the batch file %1: %2").arg(name, unreadable));
        return false;
    }
    FBatchChanged = QFileInfo(name).lastModified();
    StoredSettings settings;
    try {
        settings = LoadStoredSettings();
    } catch (const VistrelError& error) {
        PrintLine(ErrorReportText(error.message()));
    }
    QList<Line> lines;
    for (const BatchLine& line : ReadBatchLines(QString::fromLocal8Bit(file.readAll()))) {
        if (!FOptions.shard.Takes(line.index))
            continue;
        // Only the batch's own command line turns the sandbox off, where it is warned of.
        const PreparedJob prepared = PrepareCommandLineJob(
            settings, FOptions.lineDefaults + line.arguments, {true, FOptions.sandboxOff});
        lines.append({line.Number(), line.arguments, prepared});
    }
    Plan(lines);
    return !FFinished;
}

// Lines that cannot run, or need not, are reported at once; the others wait for a page.
void BatchRun::Plan(const QList<Line>& lines) {
    FTotal = int(lines.size());
    BatchTargets targets;
    for (const Line& line : lines) {
        const CaptureJob& job = line.prepared.job;
        BatchOutcome outcome = OutcomeOf(line.number, job);
        const BatchTargets::Outcome claim =
            line.prepared.Refused() ? BatchTargets::Outcome{}
                                    : targets.Take(line.number, line.arguments, JobFiles(job));
        if (line.prepared.Refused()) {
            outcome.status = BatchStatus::Failed;
            outcome.exitStatus = ToInt(line.prepared.refusal);
            outcome.message = line.prepared.messages.join(QStringLiteral("; "));
            Report(outcome);
        } else if (claim.claim == BatchTargets::Claim::Taken) {
            outcome.status = BatchStatus::Failed;
            outcome.exitStatus = ToInt(ExitCode::WriteFailed);
            outcome.message = QStringLiteral("line %1 writes %2 already; nothing captured")
                                  .arg(claim.otherLine)
                                  .arg(claim.file);
            Report(outcome);
        } else if (claim.claim == BatchTargets::Claim::Repeat) {
            outcome.status = BatchStatus::Skipped;
            outcome.files = JobFiles(job);
            outcome.message =
                QStringLiteral("the same as line %1, captured there once").arg(claim.otherLine);
            Report(outcome);
        } else if (FOptions.resume && BatchLineWritten(JobFiles(job), FBatchChanged)) {
            outcome.status = BatchStatus::Skipped;
            outcome.files = JobFiles(job);
            Report(outcome);
        } else {
            FWaiting.append(line);
        }
    }
}

int BatchRun::JobsToRun() {
    QSize size;
    if (!FWaiting.isEmpty()) {
        const CaptureJob& job = FWaiting.first().prepared.job;
        size = job.browserSize * job.controls.scale; // a scaled picture is as much wider
    }
    const qint64 memory = AvailableMemoryBytes();
    const int wanted = FOptions.jobs > 0 ? FOptions.jobs : QThread::idealThreadCount();
    const int allowed = BatchJobsAllowed(wanted, memory, size);
    if (FOptions.jobs > allowed)
        PrintLine(
            QStringLiteral("warning: %1 MB of available memory holds %2 pages at once, not %3")
                .arg(memory >> 20)
                .arg(allowed)
                .arg(FOptions.jobs));
    return allowed;
}

void BatchRun::StartMore() {
    while (!FFinished && !FWaiting.isEmpty() && FRunning.size() < FJobs)
        StartLine(FWaiting.takeFirst());
    if (!FFinished && FWaiting.isEmpty() && FRunning.isEmpty())
        Finish(FFailed > 0 ? ToInt(ExitCode::LineFailed) : ToInt(ExitCode::Success));
}

void BatchRun::StartLine(const Line& line) {
    BatchPage* page = nullptr;
    try {
        page = new BatchPage(line.prepared.job, FChromium, this);
    } catch (const VistrelError& error) {
        BatchOutcome outcome = OutcomeOf(line.number, line.prepared.job);
        outcome.status = BatchStatus::Failed;
        outcome.exitStatus = ToInt(ExitCode::EngineMissing);
        outcome.message = error.message();
        Report(outcome);
        QTimer::singleShot(0, this, &BatchRun::StartMore);
        return;
    }
    FRunning.insert(page);
    const int number = line.number;
    connect(page, &BatchPage::Finished, this, [this, page, number](const CaptureOutcome& outcome) {
        LineDone(page, number, outcome);
    });
    page->Start();
}

void BatchRun::LineDone(BatchPage* page, int number, const CaptureOutcome& outcome) {
    if (!FRunning.remove(page))
        return;
    BatchOutcome reported = OutcomeOf(number, page->Job());
    reported.files = outcome.written;
    reported.exitStatus = ToInt(outcome.code);
    reported.status = outcome.code == ExitCode::Success ? BatchStatus::Ok : BatchStatus::Failed;
    reported.message = outcome.message;
    reported.size = outcome.size;
    reported.milliseconds = outcome.finishedMs;
    reported.page = outcome.page;
    page->deleteLater(); // it is still on the stack
    if (FFinished)
        return;
    Report(reported);
    // the next page starts once this one's signal has returned
    QTimer::singleShot(0, this, &BatchRun::StartMore);
}

void BatchRun::Report(const BatchOutcome& outcome) {
    ++FDone;
    if (outcome.status == BatchStatus::Failed) {
        ++FFailed;
        PrintLine(QStringLiteral("line %1: %2").arg(outcome.line).arg(outcome.message));
    }
    FProgress.Clear();
    const QByteArray json = BatchReportLine(outcome);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    std::fflush(stdout);
    ShowProgress();
}

void BatchRun::ShowProgress() {
    FProgress.Show(QStringLiteral("vistrel-pro: ") +
                   BatchProgressText(FDone, FTotal, FFailed, FClock.elapsed()));
}

void BatchRun::PrintLine(const QString& message) {
    FProgress.Print(StderrLine(message));
}

void BatchRun::Interrupt(int signal) {
    Finish(TerminationSignals::ExitStatusFor(signal), TerminationSignals::Description(signal));
    const QList<BatchPage*> pages = FRunning.values(); // a stopped page leaves the set
    for (BatchPage* page : pages)
        page->Stop(); // what they report now is no news
}

// A run ends once.
void BatchRun::Finish(int status, const QString& message) {
    if (FFinished)
        return;
    FFinished = true;
    if (!message.isEmpty())
        PrintLine(message);
    FProgress.Clear();
    QCoreApplication::exit(status);
}
