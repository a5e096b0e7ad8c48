// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/UrlOpener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace {
UrlOpener& Opener() {
    static UrlOpener opener;
    return opener;
}
} // namespace

void SetUrlOpener(UrlOpener opener) {
    Opener() = std::move(opener);
}

bool OpenWithDesktop(const QUrl& url, std::function<void()> failedLater) {
    if (Opener()) {
        return Opener()(url);
    }
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty() || !failedLater) {
        return QDesktopServices::openUrl(url);
    }
    auto* process = new QProcess;
    QObject::connect(process, &QProcess::finished, process,
                     [process, failedLater](int code, QProcess::ExitStatus status) {
                         if (code != 0 || status != QProcess::NormalExit) {
                             failedLater();
                         }
                         process->deleteLater();
                     });
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(xdgOpen, {url.toString(QUrl::FullyEncoded)});
    if (!process->waitForStarted(5000)) {
        delete process;
        return false;
    }
    return true;
}
