// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QtGlobal>

// What one page of a batch run may need at once: the picture of a tall page (3 bytes a pixel,
// TallPageRows rows at the browser's width) and the engine's own memory for the page.
inline constexpr int TallPageRows = 30000;
inline constexpr qint64 EngineBytesPerPage = qint64(250) << 20;

qint64 BatchBytesPerPage(const QSize& browserSize);

// Pages at once: no more than the cores, and no more than half of the available memory holds
// (the rest is left to the system and the run's own files); at least one.
int BatchJobsAllowed(int cores, qint64 availableBytes, const QSize& browserSize);

// MemAvailable of /proc/meminfo; where it cannot be read, the free and buffer memory of
// sysinfo. In bytes.
qint64 AvailableMemoryBytes();
