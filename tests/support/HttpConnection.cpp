// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/HttpConnection.h"

#include "support/HttpFixture.h"

#include <QTcpSocket>

namespace {

constexpr qsizetype MostHeadBytes = 64 * 1024;
// What a stalled answer promises on top of its first bytes: more than any test waits for.
constexpr qint64 NeverArrives = qint64(1) << 30;

QByteArray Reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    case 431:
        return "Request Header Fields Too Large";
    default:
        return "Status";
    }
}

} // namespace

HttpConnection::HttpConnection(QTcpSocket* socket, HttpFixture* fixture)
    : QObject(fixture), FSocket(socket), FFixture(fixture) {
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, &HttpConnection::readRequest);
    connect(socket, &QTcpSocket::disconnected, this, &HttpConnection::close);
    connect(&FTrickle, &QTimer::timeout, this, &HttpConnection::trickle);
    readRequest();
}

void HttpConnection::close() {
    if (FClosed) {
        return;
    }
    FClosed = true;
    FTrickle.stop();
    FSocket->abort();
    deleteLater();
}

void HttpConnection::readRequest() {
    FBuffer += FSocket->readAll();
    if (FAnswering || FClosed) {
        FBuffer.clear(); // one request a connection; whatever follows is dropped
        return;
    }
    if (FBodyLength < 0) {
        const qsizetype headEnd = FBuffer.indexOf("\r\n\r\n");
        if (headEnd < 0) {
            if (FBuffer.size() > MostHeadBytes) {
                send(431, {}, {});
            }
            return;
        }
        if (!parseHead(headEnd)) {
            send(400, {}, {});
            return;
        }
    }
    if (FBuffer.size() < FBodyLength) {
        return;
    }
    FRequest.body = FBuffer.left(FBodyLength);
    FBuffer.clear();
    answer();
}

bool HttpConnection::parseHead(qsizetype headEnd) {
    const QList<QByteArray> lines = FBuffer.left(headEnd).split('\n');
    FBuffer.remove(0, headEnd + 4);
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine.at(2).startsWith("HTTP/")) {
        return false;
    }
    FRequest.method = requestLine.at(0);
    FRequest.target = requestLine.at(1);
    const qsizetype query = FRequest.target.indexOf('?');
    QByteArray path = query < 0 ? FRequest.target : FRequest.target.left(query);
    if (path.startsWith("http://")) { // absolute form, as sent to a proxy
        const qsizetype slash = path.indexOf('/', 7);
        path = slash < 0 ? QByteArray("/") : path.mid(slash);
    }
    FRequest.path = QString::fromLatin1(path);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines.at(i).indexOf(':');
        if (colon > 0) {
            FRequest.headers.append(
                {lines.at(i).left(colon).trimmed(), lines.at(i).mid(colon + 1).trimmed()});
        }
    }
    bool ok = true;
    const QByteArray length = FRequest.header("Content-Length");
    FBodyLength = length.isEmpty() ? 0 : length.toLongLong(&ok);
    return ok && FBodyLength >= 0;
}

void HttpConnection::answer() {
    FAnswering = true;
    FFixture->noteRequest(FRequest);
    if (FClosed) {
        return; // the fixture was stopped from a slot of requestReceived
    }
    const std::optional<HttpRoute> route = FFixture->routeFor(FRequest.path);
    if (!route) {
        send(404, {{"Content-Type", "text/html"}}, "<html><body>not found</body></html>");
        return;
    }
    if (route->kind == HttpRoute::Kind::Silent) {
        return;
    }
    if (route->delayMs > 0) {
        QTimer::singleShot(route->delayMs, Qt::PreciseTimer, this, [this, route = *route] {
            if (!FClosed) {
                sendAnswer(route);
            }
        });
        return;
    }
    sendAnswer(*route);
}

void HttpConnection::sendAnswer(const HttpRoute& route) {
    QList<QPair<QByteArray, QByteArray>> headers = route.headers;
    headers.prepend({"Content-Type", route.contentType});
    switch (route.kind) {
    case HttpRoute::Kind::Redirect:
        headers.append({"Location", route.location});
        send(route.status, headers, route.body);
        break;
    case HttpRoute::Kind::Stalled:
        sendStalled(route);
        break;
    case HttpRoute::Kind::BasicAuth:
        if (authorised(route)) {
            send(200, headers, route.body);
        } else {
            headers.append({"WWW-Authenticate", "Basic realm=\"" + route.realm + "\""});
            send(401, headers, "<html><body>who are you?</body></html>");
        }
        break;
    case HttpRoute::Kind::Download:
        headers.append({"Content-Disposition", "attachment; filename=\"" + route.fileName + "\""});
        send(200, headers, route.body);
        break;
    case HttpRoute::Kind::Reflect: {
        QByteArray body = route.body;
        for (const auto& [name, value] : FRequest.headers)
            body.replace("{{" + name.toLower() + "}}", value);
        send(route.status, headers, body);
        break;
    }
    case HttpRoute::Kind::Page:
    case HttpRoute::Kind::Silent:
        send(route.status, headers, route.body);
        break;
    }
}

void HttpConnection::sendStalled(const HttpRoute& route) {
    send(200, {{"Content-Type", route.contentType}}, route.body, route.body.size() + NeverArrives);
    if (route.trickleMs > 0) {
        FTrickle.start(route.trickleMs);
    }
}

void HttpConnection::send(int status, const QList<QPair<QByteArray, QByteArray>>& headers,
                          const QByteArray& body, qint64 declaredLength) {
    FAnswering = true;
    const bool complete = declaredLength < 0;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + Reason(status) + "\r\n";
    for (const auto& [name, value] : headers) {
        head += name + ": " + value + "\r\n";
    }
    head += "Content-Length: " + QByteArray::number(complete ? body.size() : declaredLength);
    head += "\r\nConnection: close\r\n\r\n";
    FSocket->write(head);
    if (FRequest.method != "HEAD") {
        FSocket->write(body);
    }
    if (complete) {
        FSocket->disconnectFromHost(); // after the written bytes have gone
    }
}

bool HttpConnection::authorised(const HttpRoute& route) const {
    const QByteArray expected = "Basic " + (route.user + ':' + route.password).toBase64();
    return FRequest.header("Authorization") == expected;
}

void HttpConnection::trickle() {
    if (FSocket->state() != QAbstractSocket::ConnectedState) {
        close();
        return;
    }
    FSocket->write(QByteArray(1, '\0'));
}
