// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QProcess>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <functional>

class EngineCalls;
class QSocketNotifier;

// A browser process spoken to over the DevTools protocol on its descriptors 3 (commands in)
// and 4 (answers and events out), each message JSON ended by a NUL byte. Nothing listens on
// a port that other users of the machine could reach. Commands are sent and answers read on
// the thread the pipe lives on; the pages of a batch share it as coroutines.
class DevToolsPipe : public QObject {
    Q_OBJECT

public:
    struct Launch {
        QString program;
        QStringList arguments;
        QString folder;  // the process's working and home folder
        uint userId = 0; // run as this user and group when the program runs as root
        uint groupId = 0;
        bool switchUser = false;
        bool verbose = false; // the browser's own messages on our standard error
    };

    explicit DevToolsPipe(QObject* parent = nullptr);
    ~DevToolsPipe() override;

    // Throws VistrelError when the process cannot start.
    void Start(const Launch& launch);
    bool Running() const;
    qint64 ProcessId() const;

    using Answer = std::function<void(const QJsonObject& result, const QString& error)>;
    // Sends a command; the answer comes later through the event loop (or never, when the
    // process ends first: then `answer` gets the error "the browser ended").
    void Send(const QString& method, const QJsonObject& params, const QString& session,
              Answer answer = nullptr);
    // Sends a command and awaits its answer among `calls`. Throws VistrelError with the
    // browser's own message, or when no answer comes within the limit.
    QCoro::Task<QJsonObject> Call(EngineCalls& calls, QString method, QJsonObject params = {},
                                  QString session = QString(), int timeLimitMs = 30000);

    // Ends the browser: asked politely first, killed when it lingers.
    void Close();

signals:
    void Event(const QString& method, const QJsonObject& params, const QString& session);
    void Ended(const QString& reason);

private:
    void ReadMessages();
    void Dispatch(const QByteArray& message);
    bool WriteAll(const QByteArray& bytes);
    void ProcessEnded();
    void AbortAll(const QString& reason);

    QProcess FProcess;
    int FSocket = -1; // our end of descriptors 3 and 4
    QSocketNotifier* FNotifier = nullptr;
    QByteArray FPending;
    QQueue<QByteArray> FInbox;
    int FNextId = 1;
    QHash<int, Answer> FWaiting;
    bool FEnded = false;
    bool FWriteFailed = false; // the browser stopped taking commands
};
