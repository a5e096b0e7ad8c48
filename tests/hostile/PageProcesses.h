// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

#include <sys/types.h>

// The engine's page (render) processes of a running vistrel-pro, found through /proc: the
// QtWebEngine processes that its zygotes forked (they keep the zygote's command line), or
// that say --type=renderer.
namespace PageProcesses {

// The vistrel-pro that this test process started and that runs now; 0 when there is none.
pid_t RunningProgram();
QList<pid_t> Of(pid_t program);
// SIGKILL to each page process of the running program; returns how many there were.
int KillAll();

} // namespace PageProcesses
