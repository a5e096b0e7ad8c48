// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engines/chromium/BrowserProfile.h"
#include "engines/chromium/DevToolsPipe.h"

#include <QObject>
#include <QString>

#include <memory>

// One headless Chromium (Debian's chromium-headless-shell) for the pages of a run, with a
// profile of its own that is removed when it ends (or by a later run, when this one was killed).
// Its sandbox is always on: run as root, it runs as an unprivileged user, unless the sandbox was
// turned off on purpose.
class ChromiumProcess : public QObject {
    Q_OBJECT

public:
    struct Options {
        bool sandboxOff = false;
    };

    // Throws VistrelError, naming the package, when the browser is missing or cannot start.
    explicit ChromiumProcess(const Options& options, QObject* parent = nullptr);
    ~ChromiumProcess() override;

    DevToolsPipe& Pipe() { return FPipe; }
    bool Running() const { return FPipe.Running(); }
    qint64 ProcessId() const { return FPipe.ProcessId(); }
    // The user it runs as when that is not the program's own; else empty.
    QString UserName() const { return FUserName; }

    // The program that is started, and its version ("156.0.8078.129"); empty when missing.
    static QString Program();
    static QString Version();
    static QString MissingMessage();

private:
    QStringList Arguments(const Options& options) const;

    BrowserProfile FProfile;
    QString FUserName;
    DevToolsPipe FPipe;
};
