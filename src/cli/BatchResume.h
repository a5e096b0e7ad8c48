// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QStringList>

// Whether a line of a resumed batch run is done already: it names at least one file, and every
// one of them exists and was changed after the batch file (a line edited since runs again).
bool BatchLineWritten(const QStringList& files, const QDateTime& batchChanged);
