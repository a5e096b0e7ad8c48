// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/BatchOutcome.h"

#include <QByteArray>
#include <QString>

// One line of JSON, ended by '\n': line, address, files, status ("ok", "failed", "skipped"),
// exit, message, width, height, ms, final_address, http_status, title.
QByteArray BatchReportLine(const BatchOutcome& outcome);
// A single run's --json line: the same keys but "line".
QByteArray RunReportLine(const BatchOutcome& outcome);

// The terminal's progress line: "12 of 40 done, 1 failed, 30 pages a minute".
QString BatchProgressText(int done, int total, int failed, qint64 elapsedMs);
