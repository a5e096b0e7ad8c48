// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/HttpRequest.h"
#include "support/HttpRoute.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

class HttpFixture;
class QTcpSocket;

// One accepted connection: reads one request, answers it as its route says, then closes.
class HttpConnection : public QObject {
    Q_OBJECT
public:
    HttpConnection(QTcpSocket* socket, HttpFixture* fixture);

    bool isOpen() const { return !FClosed; }
    // Drops the connection without another byte and deletes it later.
    void close();

private:
    void readRequest();
    bool parseHead(qsizetype headEnd);
    void answer();
    void sendAnswer(const HttpRoute& route);
    void sendStalled(const HttpRoute& route);
    void send(int status, const QList<QPair<QByteArray, QByteArray>>& headers,
              const QByteArray& body, qint64 declaredLength = -1);
    bool authorised(const HttpRoute& route) const;
    void trickle();

    QTcpSocket* FSocket;
    HttpFixture* FFixture;
    QByteArray FBuffer;
    HttpRequest FRequest;
    qint64 FBodyLength = -1; // -1 until the head has been read
    bool FAnswering = false;
    bool FClosed = false;
    QTimer FTrickle;
};
