// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ProcessTree.h"

#include <QDir>
#include <QFile>

#include <csignal>

namespace {

struct StatLine {
    QString name;
    char state = '?';
    pid_t group = 0;
    pid_t session = 0;
};

// "pid (name) state ppid pgrp session ...": the name may hold spaces and parentheses.
bool ReadStat(const QString& pidText, StatLine& stat) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(pidText));
    if (!file.open(QIODevice::ReadOnly)) {
        return false; // gone meanwhile
    }
    const QByteArray line = file.readAll();
    const qsizetype open = line.indexOf('(');
    const qsizetype close = line.lastIndexOf(')');
    if (open < 0 || close < open) {
        return false;
    }
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    if (fields.size() < 4 || fields.at(0).isEmpty()) {
        return false;
    }
    stat.name = QString::fromUtf8(line.mid(open + 1, close - open - 1));
    stat.state = fields.at(0).at(0);
    stat.group = pid_t(fields.at(2).toLongLong());
    stat.session = pid_t(fields.at(3).toLongLong());
    return true;
}

} // namespace

QList<ProcessEntry> ProcessesLedBy(pid_t leader) {
    QList<ProcessEntry> found;
    if (leader <= 1) {
        return found;
    }
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool numeric = false;
        const pid_t pid = pid_t(entry.toLongLong(&numeric));
        StatLine stat;
        if (!numeric || !ReadStat(entry, stat) || stat.state == 'Z' || stat.state == 'X') {
            continue;
        }
        if (stat.session == leader || stat.group == leader) {
            found.append({pid, stat.name});
        }
    }
    return found;
}

void KillProcesses(const QList<ProcessEntry>& processes) {
    for (const ProcessEntry& process : processes) {
        ::kill(process.pid, SIGKILL);
    }
}
