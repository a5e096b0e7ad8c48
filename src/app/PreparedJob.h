#pragma once

#include "app/ExitCodes.h"
#include "app/StoredSettings.h"
#include "capture/CaptureJob.h"

#include <QStringList>

// The job of one unattended capture, or why it cannot run: a value it cannot take or a refused
// path (one message each), or no file to write. A single run and every line of a batch run are
// checked the same way.
struct PreparedJob {
    CaptureJob job;
    ExitCode refusal = ExitCode::Success;
    QStringList messages;

    bool Refused() const { return refusal != ExitCode::Success; }
};

PreparedJob PrepareCommandLineJob(const StoredSettings& settings, const QStringList& arguments);

// The files the job asks for, picture first.
QStringList JobFiles(const CaptureJob& job);
