// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/CaptureJob.h"

#include <QStringList>

// One message for every option of the job that its engine cannot honour, by its command-line
// name (--scale): such a job must not run at all rather than run without it.
QStringList ControlsTheEngineRefuses(const CaptureJob& job);
