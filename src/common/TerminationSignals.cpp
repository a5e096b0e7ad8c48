// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

int pipeEnds[2] = {-1, -1};
constexpr int Handled[] = {SIGTERM, SIGINT, SIGHUP};

// Only what is safe in a signal handler: one byte into a pipe the event loop watches.
void OnSignal(int signal) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = write(pipeEnds[1], &byte, 1);
    errno = saved;
}

const char* SignalName(int signal) {
    switch (signal) {
    case SIGTERM:
        return "SIGTERM";
    case SIGINT:
        return "SIGINT";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "a signal";
    }
}

// The pipe and the handlers stay for the rest of the process: a signal in the last moments of
// a run, while its objects are taken down, is kept instead of killing it half way.
bool InstallHandlers() {
    if (pipeEnds[0] >= 0)
        return true;
    if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return false; // without the pipe the default handling stays: the run dies as before
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : Handled)
        sigaction(signal, &action, nullptr);
    return true;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (!InstallHandlers())
        return;
    FNotifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, &TerminationSignals::ReadPipe);
}

TerminationSignals::~TerminationSignals() = default;

int TerminationSignals::Undelivered() {
    unsigned char byte = 0;
    if (pipeEnds[0] < 0 || read(pipeEnds[0], &byte, 1) != 1)
        return 0;
    unsigned char more = 0;
    while (read(pipeEnds[0], &more, 1) == 1) {
    }
    return byte;
}

QString TerminationSignals::Description(int signal) {
    return QStringLiteral("ended by %1 (%2)")
        .arg(QString::fromLatin1(SignalName(signal)), QString::fromLocal8Bit(strsignal(signal)));
}

void TerminationSignals::ReadPipe() {
    unsigned char byte = 0;
    while (read(pipeEnds[0], &byte, 1) == 1)
        emit Received(byte);
}
