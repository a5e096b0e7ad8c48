// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/ProgramSandbox.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

struct ProgramRunOptions {
    QString program; // empty: the built vistrel-pro
    QStringList arguments;
    QString workingDirectory; // empty: the sandbox's folder
    int timeLimitMs = 90000;  // then the run and everything it started is killed
    bool display = true;      // false: DISPLAY and WAYLAND_DISPLAY are taken away
    QStringList removeVariables;
    QList<QPair<QString, QString>> setVariables; // applied last
    int leftoverGraceMs = 3000; // how long helpers may take to go once the program has ended
    int signal = 0;             // sent to the program (not its helpers) after signalAfterMs
    int signalAfterMs = 0;
    QString signalWhenFile; // else sent as soon as this file (in the sandbox) is there
};

struct ProgramResult {
    bool started = false;
    QString startError;
    qint64 pid = 0; // of the program, once started
    bool timedOut = false;
    bool crashed = false;
    int exitCode = -1;
    QByteArray standardOutput;
    QByteArray standardError;
    // "pid name" of processes of the run still alive after the grace time; killed since.
    QStringList leftovers;
    qint64 elapsedMs = 0;

    bool exitedWith(int code) const { return started && !timedOut && !crashed && exitCode == code; }
};

// The vistrel-pro that this build made ($VISTREL_BINARY_DIR/vistrel-pro).
QString BuiltProgramPath();

// Runs the program in a session of its own, with the sandbox's XDG folders and TMPDIR, while
// the caller's event loop keeps turning (so an HttpFixture in this thread still answers).
ProgramResult RunProgram(const ProgramRunOptions& options, const ProgramSandbox& sandbox);
// The same in a fresh sandbox that is removed afterwards.
ProgramResult RunProgram(const ProgramRunOptions& options);
