// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ErrorReport.h"

#include "common/ErrorText.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <cstdio>

namespace {

MessageSink& Sink() {
    static MessageSink sink;
    return sink;
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
    if (Unattended() || !HasDisplay()) {
        std::fprintf(stderr, "vistrel-pro: %s\n", qPrintable(text.trimmed()));
        return;
    }
    QMessageBox box(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information,
                    QStringLiteral("Vistrel Pro"), text, QMessageBox::Ok);
    box.exec();
}

} // namespace

void SetMessageSink(MessageSink sink) {
    Sink() = std::move(sink);
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
