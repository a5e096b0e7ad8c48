// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/CaptureControls.h"

#include <QList>
#include <QWebEngineUrlRequestInterceptor>

// Adds the capture's own headers to every request of one page.
class HeaderInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT

public:
    HeaderInterceptor(QList<HttpHeader> headers, QObject* parent);
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    QList<HttpHeader> FHeaders;
};
