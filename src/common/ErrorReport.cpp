// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ErrorReport.h"

#include "common/ErrorText.h"

#include <QGuiApplication>
#include <cstdio>

namespace {

MessageSink& Sink() {
    static MessageSink sink;
    return sink;
}

MessageSink& Presenter() {
    static MessageSink presenter;
    return presenter;
}

bool& Unattended() {
    static bool unattended = false;
    return unattended;
}

void Deliver(MessageKind kind, const QString& text) {
    if (Sink()) {
        Sink()(kind, text);
        return;
    }
    if (Unattended() || !HasDisplay() || !Presenter()) {
        std::fprintf(stderr, "vistrel-pro: %s\n", qPrintable(text.trimmed()));
        return;
    }
    Presenter()(kind, text);
}

} // namespace

void SetMessageSink(MessageSink sink) {
    Sink() = std::move(sink);
}

void SetMessagePresenter(MessageSink presenter) {
    Presenter() = std::move(presenter);
}

void SetUnattended(bool unattended) {
    Unattended() = unattended;
}

bool HasDisplay() {
    const QString platform = QGuiApplication::platformName();
    return !platform.isEmpty() && platform != QLatin1String("offscreen") &&
           platform != QLatin1String("minimal");
}

void ShowErrorReport(const QString& message) {
    Deliver(MessageKind::Error, ErrorReportText(message));
}

void ShowInformation(const QString& message) {
    Deliver(MessageKind::Information, message);
}
