// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchBudget.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

#include <sys/sysinfo.h>

qint64 BatchBytesPerPage(const QSize& browserSize) {
    return qint64(std::max(browserSize.width(), 1)) * 3 * TallPageRows + EngineBytesPerPage;
}

int BatchJobsAllowed(int cores, qint64 availableBytes, const QSize& browserSize) {
    const qint64 byMemory =
        std::max<qint64>(availableBytes, 0) / 2 / BatchBytesPerPage(browserSize);
    return int(std::clamp<qint64>(std::min<qint64>(cores, byMemory), 1, 1024));
}

qint64 AvailableMemoryBytes() {
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (meminfo.open(QIODevice::ReadOnly)) {
        static const QRegularExpression line(QStringLiteral("^MemAvailable:\\s+(\\d+) kB"),
                                             QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match = line.match(QString::fromLatin1(meminfo.readAll()));
        if (match.hasMatch())
            return match.captured(1).toLongLong() * 1024;
    }
    struct sysinfo info {};
    if (sysinfo(&info) != 0)
        return 0;
    return (qint64(info.freeram) + qint64(info.bufferram)) * info.mem_unit;
}
