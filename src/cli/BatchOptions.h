// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/BatchShard.h"

#include <QString>
#include <QStringList>

inline constexpr int MostBatchJobs = 64;

// How a batch run was asked for: --batch FILE (or - for standard input), --jobs N, --resume,
// --shard K/N; each also as --name=value. A capture's long options there (--delay 500) are
// every line's defaults: a line's own switches come after them.
struct BatchOptions {
    QString file;
    int jobs = 0; // 0: as many as the cores and the memory allow
    bool resume = false;
    BatchShard shard;
    // --no-sandbox on the program's own command line: every line's Chromium runs unconfined.
    bool sandboxOff = false;
    QStringList lineDefaults; // the long options as given, before each line's arguments
};

struct BatchOptionsRead {
    BatchOptions options;
    QString error; // empty when the arguments make a batch run
};

// Whether the arguments (no program name) ask for a batch run.
bool IsBatchRun(const QStringList& arguments);

// Every argument must belong to the batch run: a capture's slash switches go on the file's
// lines, and the long options' values and the files they name are checked here once rather
// than on every line.
BatchOptionsRead ReadBatchOptions(const QStringList& arguments);
