// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/CaptureJob.h"
#include "capture/StoredSettings.h"
#include "cli/ExitCodes.h"

#include <QStringList>

// The job of one unattended capture, or why it cannot run: a value it cannot take or a refused
// path (one message each), or no file to write. A single run and every line of a batch run are
// checked the same way.
struct PreparedJob {
    CaptureJob job;
    ExitCode refusal = ExitCode::Success;
    QStringList messages;
    QStringList warnings; // for a job that runs all the same
    bool json = false;    // a single run's --json, heard even when the job is refused

    bool Refused() const { return refusal != ExitCode::Success; }
};

// What differs between a single run and a line of a batch. The files that --script @FILE and
// --cookies name are read here, and the cookies kept are those for the address's host. A control
// the job's engine cannot honour refuses the job.
struct JobRules {
    bool batchLine = false;
    // A batch line's sandbox is the batch's: a --no-sandbox on the line itself is not heard.
    bool batchSandboxOff = false;
};

PreparedJob PrepareCommandLineJob(const StoredSettings& settings, const QStringList& arguments,
                                  const JobRules& rules = {});

struct CommandLineJob;
// Why the files that --script @FILE and --cookies name cannot be read, one message each: a batch
// run checks its defaults' files once, before any line.
QStringList NamedFileProblems(const CommandLineJob& built);

// Why this job may not run an engine without its sandbox, or an empty text: as root Qt
// WebEngine has none, so it runs only when --no-sandbox says so.
QString UnsandboxedEngineProblem(const CaptureJob& job);

// The files the job asks for, picture first.
QStringList JobFiles(const CaptureJob& job);
