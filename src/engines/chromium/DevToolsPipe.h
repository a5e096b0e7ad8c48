// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QJsonObject>
#include <QMutex>
#include <QObject>
#include <QProcess>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class QSocketNotifier;

// A browser process spoken to over the DevTools protocol on its descriptors 3 (commands in)
// and 4 (answers and events out), each message JSON ended by a NUL byte. Nothing listens on
// a port that other users of the machine could reach.
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
    // Sends a command; the answer comes later through the event loop of the thread that sent it
    // (or never, when the process ends first: then `answer` gets the error "the browser
    // ended"). Safe from any thread with an event loop.
    void Send(const QString& method, const QJsonObject& params, const QString& session,
              Answer answer = nullptr);
    // Sends a command and waits for its answer without taking user input. Throws VistrelError
    // with the browser's own message, or when no answer comes within the limit.
    QJsonObject Call(const QString& method, const QJsonObject& params = {},
                     const QString& session = QString(), int timeLimitMs = 30000);

    // Ends the browser: asked politely first, killed when it lingers.
    void Close();

signals:
    void Event(const QString& method, const QJsonObject& params, const QString& session);
    void Ended(const QString& reason);

private:
    void ReadMessages();
    void Dispatch(const QByteArray& message);
    static Answer InCallersThread(Answer answer);
    bool WriteAll(const QByteArray& bytes);
    void ProcessEnded();
    void AbortAll(const QString& reason);

    QProcess FProcess;
    int FSocket = -1; // our end of descriptors 3 and 4
    QSocketNotifier* FNotifier = nullptr;
    QByteArray FPending;
    QQueue<QByteArray> FInbox;
    QMutex FSending; // guards the ids, the answers waited for and the writes
    int FNextId = 1;
    QHash<int, Answer> FWaiting;
    // Read by the threads that send; set on the main thread.
    std::atomic<bool> FEnded{false};
    std::atomic<bool> FWriteFailed{false}; // the browser stopped taking commands
};
