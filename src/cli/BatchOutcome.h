// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/CaptureControls.h"

#include <QSize>
#include <QString>
#include <QStringList>

enum class BatchStatus { Ok, Failed, Skipped };

// What became of one line of a batch run, or of a single run reported with --json.
struct BatchOutcome {
    int line = 0; // from 1, as an editor counts
    QString address;
    QStringList files; // written (or, skipped, already there)
    BatchStatus status = BatchStatus::Ok;
    int exitStatus = 0; // the status the line would have had as a run of its own
    QString message;
    QSize size; // of the captured page; empty when nothing was captured
    qint64 milliseconds = 0;
    PageFacts page; // where the page ended up, as far as the engine told
};
