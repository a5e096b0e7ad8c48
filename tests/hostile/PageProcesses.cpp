// SPDX-License-Identifier: GPL-3.0-or-later
#include "PageProcesses.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <csignal>
#include <unistd.h>

namespace PageProcesses {

namespace {

struct Entry {
    pid_t parent = 0;
    QByteArray name;
    QByteArray commandLine;
};

// "pid (name) state ppid ...": the name may hold spaces and parentheses.
bool Read(pid_t pid, Entry& entry) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    QFile command(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!stat.open(QIODevice::ReadOnly) || !command.open(QIODevice::ReadOnly))
        return false; // gone meanwhile
    const QByteArray line = stat.readAll();
    const qsizetype open = line.indexOf('(');
    const qsizetype close = line.lastIndexOf(')');
    if (open < 0 || close < open)
        return false;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    if (fields.size() < 2 || fields.at(0) == "Z")
        return false;
    entry.name = line.mid(open + 1, close - open - 1);
    entry.parent = pid_t(fields.at(1).toLongLong());
    entry.commandLine = command.readAll().replace('\0', ' ');
    return true;
}

QHash<pid_t, Entry> Processes() {
    QHash<pid_t, Entry> processes;
    for (const QString& name : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numeric = false;
        const pid_t pid = pid_t(name.toLongLong(&numeric));
        Entry entry;
        if (numeric && Read(pid, entry))
            processes.insert(pid, entry);
    }
    return processes;
}

bool IsEngine(const Entry& entry) {
    return entry.name.startsWith("QtWebEngineProc");
}

// Chromium names the processes its zygote forks by what they are.
bool IsChromiumRenderer(const Entry& entry) {
    return entry.name.startsWith("chromium-headle") &&
           entry.commandLine.contains("--type=renderer");
}

bool Descends(const QHash<pid_t, Entry>& processes, pid_t pid, pid_t ancestor) {
    for (int depth = 0; depth < 16 && pid > 1; ++depth) {
        pid = processes.value(pid).parent;
        if (pid == ancestor)
            return true;
    }
    return false;
}

} // namespace

pid_t RunningProgram() {
    const QHash<pid_t, Entry> processes = Processes();
    for (auto it = processes.cbegin(); it != processes.cend(); ++it) {
        if (it->parent == ::getpid() && it->name == "vistrel-pro")
            return it.key();
    }
    return 0;
}

QList<pid_t> Of(pid_t program) {
    const QHash<pid_t, Entry> processes = Processes();
    QList<pid_t> pages;
    for (auto it = processes.cbegin(); it != processes.cend(); ++it) {
        if (IsChromiumRenderer(*it) && Descends(processes, it.key(), program))
            pages << it.key();
        if (!IsEngine(*it) || !Descends(processes, it.key(), program))
            continue;
        const Entry parent = processes.value(it->parent);
        const bool forked = IsEngine(parent) && parent.commandLine.contains("--type=zygote");
        if (it->commandLine.contains("--type=renderer") || forked)
            pages << it.key();
    }
    return pages;
}

int KillAll() {
    const pid_t program = RunningProgram();
    const QList<pid_t> pages = program ? Of(program) : QList<pid_t>();
    for (const pid_t pid : pages)
        ::kill(pid, SIGKILL);
    return int(pages.size());
}

} // namespace PageProcesses
