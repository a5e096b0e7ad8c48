// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLineRun.h"

#include "capture/Browser.h"
#include "cli/BatchReport.h"
#include "cli/CommandLineMessage.h"
#include "cli/CommandLineMode.h"
#include "cli/PreparedJob.h"
#include "common/ErrorReport.h"
#include "common/ErrorText.h"
#include "common/TerminationSignals.h"
#include "common/VistrelError.h"
#include "engines/CaptureBrowser.h"

#include <QCoreApplication>

#include <cstdio>

CommandLineRun::CommandLineRun(QStringList arguments, bool verbose, QObject* parent)
    : QObject(parent), FArguments(std::move(arguments)), FVerbose(verbose) {}

CommandLineRun::~CommandLineRun() = default;

void CommandLineRun::Start() {
    FClock.start();
    // Nobody answers a message box in an unattended run.
    SetUnattended(true);
    StoredSettings settings;
    try {
        settings = LoadStoredSettings();
    } catch (const VistrelError& error) {
        // the run goes on with the defaults rather than wait for a window nobody watches
        PrintLine(ErrorReportText(error.message()));
    }
    const PreparedJob prepared = PrepareCommandLineJob(settings, FArguments);
    FJson = prepared.json;
    FReport.address = prepared.job.address;
    for (const QString& warning : prepared.warnings)
        PrintLine(warning);
    if (prepared.Refused()) {
        for (const QString& message : prepared.messages)
            PrintLine(message);
        FReport.message = prepared.messages.join(QStringLiteral("; "));
        Finish(ToInt(prepared.refusal), QString());
        return;
    }
    FAddress = prepared.job.address;
    if (prepared.job.sandboxOff)
        PrintLine(NoSandboxWarning(EngineDisplayName(prepared.job.engine)));
    std::unique_ptr<Browser> browser;
    try {
        browser = NewCaptureBrowser(prepared.job);
    } catch (const VistrelError& error) {
        Finish(ToInt(ExitCode::EngineMissing), error.message());
        return;
    }
    FCapture = std::make_unique<CommandLineCapture>(prepared.job, std::move(browser));
    CommandLineCapture* capture = FCapture.get();
    connect(capture, &CommandLineCapture::LoadProgress, this, &CommandLineRun::ShowLoadProgress);
    connect(capture, &CommandLineCapture::ScreensProgress, this,
            &CommandLineRun::ShowScreensProgress);
    connect(capture, &CommandLineCapture::Writing, this, [this](const QString& name) {
        FProgress.Show(QStringLiteral("vistrel-pro: writing %1").arg(name));
    });
    connect(capture, &CommandLineCapture::Warning, this, &CommandLineRun::PrintLine);
    connect(capture, &CommandLineCapture::Finished, this, &CommandLineRun::Captured);
    FCaptureStartMs = FClock.elapsed();
    capture->Start();
}

void CommandLineRun::ShowLoadProgress(int progress, int maximum) {
    if (progress >= 0 && maximum > 0)
        FProgress.Show(QStringLiteral("vistrel-pro: loading %1 (%2 %)")
                           .arg(FAddress)
                           .arg(progress * 100 / maximum));
}

void CommandLineRun::ShowScreensProgress(int done, int planned) {
    FProgress.Show(QStringLiteral("vistrel-pro: captured %1 of %2 screens").arg(done).arg(planned));
}

void CommandLineRun::Captured(const CaptureOutcome& outcome) {
    if (FVerbose && outcome.capturedMs >= 0 && outcome.code != ExitCode::WriteFailed)
        PrintTimings(outcome);
    FReport.files = outcome.written;
    FReport.size = outcome.size;
    FReport.milliseconds = outcome.finishedMs;
    FReport.page = outcome.page;
    Finish(ToInt(outcome.code), outcome.message);
}

// From the start of the run: the first screen pasted, the last, and the files written.
void CommandLineRun::PrintTimings(const CaptureOutcome& outcome) {
    const qint64 at = FCaptureStartMs;
    PrintLine(QStringLiteral("timings: first screen at %1 ms, %2 screens done at %3 ms, files "
                             "written at %4 ms")
                  .arg(outcome.firstScreenMs < 0 ? -1 : at + outcome.firstScreenMs)
                  .arg(outcome.screens)
                  .arg(at + outcome.capturedMs)
                  .arg(at + outcome.finishedMs));
}

void CommandLineRun::PrintLine(const QString& message) {
    FProgress.Print(StderrLine(message));
}

void CommandLineRun::Interrupt(int signal) {
    Finish(TerminationSignals::ExitStatusFor(signal), TerminationSignals::Description(signal));
    if (FCapture)
        FCapture->Stop(); // what it reports now is no news
}

// A run ends once: whatever else fails on the way out is no news.
void CommandLineRun::Finish(int status, const QString& message) {
    if (FFinished)
        return;
    FFinished = true;
    if (!message.isEmpty())
        PrintLine(message);
    FProgress.Clear();
    if (FJson) {
        FReport.status = status == 0 ? BatchStatus::Ok : BatchStatus::Failed;
        FReport.exitStatus = status;
        if (!message.isEmpty())
            FReport.message = message;
        const QByteArray json = RunReportLine(FReport);
        std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
        std::fflush(stdout);
    }
    FExitStatus = status;
    QCoreApplication::exit(status);
}
