#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP delivered as a Qt signal in the main thread, so that a run ends
// cleanly through its own code (files removed, one line said, status 128 + signal) instead of
// dying where it stands. Handled in any event loop, nested ones included.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    // Installs the handlers; one object per process.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    static int ExitStatusFor(int signal) { return 128 + signal; }
    // "vistrel-pro: ended by SIGTERM (Terminated)" without the prefix.
    static QString Description(int signal);

signals:
    void Received(int signal);

private:
    void ReadPipe();

    QSocketNotifier* FNotifier = nullptr;
};
