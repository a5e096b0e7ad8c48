// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <sys/types.h>

struct ProcessEntry {
    pid_t pid = 0;
    QString name;
};

// Live processes (zombies left out) of a session or process group led by leader: what a
// program run in its own session left behind. Reads /proc.
QList<ProcessEntry> ProcessesLedBy(pid_t leader);

// SIGKILL to each, by its id.
void KillProcesses(const QList<ProcessEntry>& processes);
