// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/webengine/HeaderInterceptor.h"

#include <QMap>

namespace {

// A name given twice is sent once, its values joined as HTTP joins them.
QMap<QByteArray, QByteArray> Joined(const QList<HttpHeader>& headers) {
    QMap<QByteArray, QByteArray> joined;
    for (const HttpHeader& header : headers) {
        QByteArray& value = joined[header.name];
        value = value.isEmpty() ? header.value : value + ", " + header.value;
    }
    return joined;
}

} // namespace

HeaderInterceptor::HeaderInterceptor(QList<HttpHeader> headers, QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent), FHeaders(std::move(headers)) {}

void HeaderInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info) {
    const QMap<QByteArray, QByteArray> joined = Joined(FHeaders);
    for (auto it = joined.cbegin(); it != joined.cend(); ++it)
        info.setHttpHeader(it.key(), it.value());
}
