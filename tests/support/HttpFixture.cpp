// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/HttpFixture.h"

#include "support/HttpConnection.h"

#include <QTcpSocket>

HttpFixture::HttpFixture(QObject* parent) : QObject(parent) {
    connect(&FServer, &QTcpServer::newConnection, this, &HttpFixture::acceptConnections);
}

HttpFixture::~HttpFixture() {
    stop();
}

bool HttpFixture::start() {
    return FServer.isListening() || FServer.listen(QHostAddress::LocalHost, 0);
}

void HttpFixture::stop() {
    FServer.close();
    // Closed at once so nothing more is sent; deleted later, since stop() may run from a slot
    // that a connection's own signal reached.
    for (HttpConnection* connection : findChildren<HttpConnection*>(Qt::FindDirectChildrenOnly)) {
        connection->close();
    }
}

QUrl HttpFixture::url(const QString& path) const {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(port());
    const qsizetype query = path.indexOf(u'?');
    url.setPath(query < 0 ? path : path.left(query));
    if (query >= 0) {
        url.setQuery(path.mid(query + 1));
    }
    return url;
}

void HttpFixture::addRoute(const QString& path, const HttpRoute& route) {
    FRoutes.insert(path, route);
}

void HttpFixture::addPage(const QString& path, const QByteArray& body,
                          const QByteArray& contentType, int status) {
    HttpRoute route;
    route.status = status;
    route.contentType = contentType;
    route.body = body;
    addRoute(path, route);
}

void HttpFixture::addRedirect(const QString& path, const QByteArray& location, int status) {
    HttpRoute route;
    route.kind = HttpRoute::Kind::Redirect;
    route.status = status;
    route.location = location;
    route.body = "<html><body>moved</body></html>";
    addRoute(path, route);
}

void HttpFixture::addStalled(const QString& path, const QByteArray& contentType,
                             const QByteArray& firstBytes, int trickleMs) {
    HttpRoute route;
    route.kind = HttpRoute::Kind::Stalled;
    route.contentType = contentType;
    route.body = firstBytes;
    route.trickleMs = trickleMs;
    addRoute(path, route);
}

void HttpFixture::addSilent(const QString& path) {
    HttpRoute route;
    route.kind = HttpRoute::Kind::Silent;
    addRoute(path, route);
}

void HttpFixture::addBasicAuth(const QString& path, const QByteArray& user,
                               const QByteArray& password, const QByteArray& body) {
    HttpRoute route;
    route.kind = HttpRoute::Kind::BasicAuth;
    route.user = user;
    route.password = password;
    route.body = body;
    addRoute(path, route);
}

void HttpFixture::addDownload(const QString& path, const QByteArray& fileName,
                              const QByteArray& body, const QByteArray& contentType) {
    HttpRoute route;
    route.kind = HttpRoute::Kind::Download;
    route.fileName = fileName;
    route.body = body;
    route.contentType = contentType;
    addRoute(path, route);
}

void HttpFixture::addSlow(const QString& path, const QByteArray& body, int delayMs,
                          const QByteArray& contentType) {
    HttpRoute route;
    route.body = body;
    route.contentType = contentType;
    route.delayMs = delayMs;
    addRoute(path, route);
}

int HttpFixture::openConnections() const {
    int open = 0;
    for (const HttpConnection* connection :
         findChildren<HttpConnection*>(Qt::FindDirectChildrenOnly)) {
        open += connection->isOpen() ? 1 : 0;
    }
    return open;
}

std::optional<HttpRoute> HttpFixture::routeFor(const QString& path) const {
    const auto found = FRoutes.constFind(path);
    if (found == FRoutes.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

void HttpFixture::noteRequest(const HttpRequest& request) {
    FRequests << request;
    ++FCounts[request.path];
    emit requestReceived(request.path);
}

void HttpFixture::acceptConnections() {
    while (QTcpSocket* socket = FServer.nextPendingConnection()) {
        new HttpConnection(socket, this);
    }
}
