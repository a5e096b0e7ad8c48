// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/HttpRequest.h"
#include "support/HttpRoute.h"

#include <QHash>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

#include <optional>

class HttpConnection;

// An HTTP/1.1 server on 127.0.0.1 (a free port) in the calling thread's event loop, for tests
// that must never reach the network. Unknown paths answer 404. Every answer closes its
// connection.
class HttpFixture : public QObject {
    Q_OBJECT
public:
    explicit HttpFixture(QObject* parent = nullptr);
    ~HttpFixture() override;

    bool start();
    // Closes the listener and every open connection; safe to call twice.
    void stop();
    bool isListening() const { return FServer.isListening(); }
    quint16 port() const { return FServer.serverPort(); }
    QHostAddress address() const { return FServer.serverAddress(); }
    QUrl url(const QString& path = QStringLiteral("/")) const;

    void addRoute(const QString& path, const HttpRoute& route);
    void addPage(const QString& path, const QByteArray& body,
                 const QByteArray& contentType = "text/html; charset=utf-8", int status = 200);
    void addRedirect(const QString& path, const QByteArray& location, int status = 302);
    // An image (or anything) whose transfer never finishes: firstBytes, then a byte every
    // trickleMs, or nothing more when trickleMs is 0.
    void addStalled(const QString& path, const QByteArray& contentType,
                    const QByteArray& firstBytes, int trickleMs = 0);
    void addSilent(const QString& path);
    void addBasicAuth(const QString& path, const QByteArray& user, const QByteArray& password,
                      const QByteArray& body);
    void addDownload(const QString& path, const QByteArray& fileName, const QByteArray& body,
                     const QByteArray& contentType = "application/octet-stream");
    void addSlow(const QString& path, const QByteArray& body, int delayMs,
                 const QByteArray& contentType = "text/html; charset=utf-8");

    int requestCount(const QString& path) const { return FCounts.value(path); }
    int totalRequests() const { return int(FRequests.size()); }
    QList<HttpRequest> requests() const { return FRequests; }
    int openConnections() const;

    // For the connections.
    std::optional<HttpRoute> routeFor(const QString& path) const;
    void noteRequest(const HttpRequest& request);

signals:
    void requestReceived(const QString& path);

private:
    void acceptConnections();

    QTcpServer FServer;
    QHash<QString, HttpRoute> FRoutes;
    QHash<QString, int> FCounts;
    QList<HttpRequest> FRequests;
};
