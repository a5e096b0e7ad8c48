// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP delivered as a Qt signal in the main thread, so that a run ends
// cleanly through its own code (files removed, one line said, status 128 + signal) instead of
// dying where it stands. Handled in any event loop, nested ones included. Once the first object
// is made, these signals never kill the process by their default action again: one that comes
// while the run is taken down, when no event loop turns, waits for Undelivered().
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    // Installs the handlers (once for the process); one object at a time.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    static int ExitStatusFor(int signal) { return 128 + signal; }
    // "vistrel-pro: ended by SIGTERM (Terminated)" without the prefix.
    static QString Description(int signal);
    // The first signal that came and was not delivered as Received, or 0; it is taken.
    static int Undelivered();

signals:
    void Received(int signal);

private:
    void ReadPipe();

    QSocketNotifier* FNotifier = nullptr;
};
