// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/EngineSetup.h"

#include <QByteArray>
#include <QtGlobal>

#include <unistd.h>

namespace {

void AddChromiumFlag(const QByteArray& flag) {
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const qsizetype equals = flag.indexOf('=');
    const QByteArray name = equals < 0 ? flag : flag.left(equals);
    if (flags.contains(name))
        return; // whoever set it knows better
    flags += flags.isEmpty() ? "" : " ";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + flag);
}

bool Verbose = true;

} // namespace

bool EngineMessagesShown() {
    return Verbose;
}

void PrepareBrowserEngine(EngineUse use, bool verbose) {
    Verbose = verbose;
    // Chromium's sandbox cannot start as root; everyone else keeps it.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // A view shown without appearing on screen gets its frames only now and then on the
    // OpenGL path under X; drawn in software it gets every one, on every display.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    // The picture holds the page's own colours, whatever the screen's colour profile.
    AddChromiumFlag("--force-color-profile=srgb");
    // Each screen of a capture waits for one frame; unlimited frames make that wait shorter,
    // but would also let an animated page use a whole core while somebody browses.
    if (use == EngineUse::Unattended)
        AddChromiumFlag("--disable-frame-rate-limit");
    if (!verbose)
        AddChromiumFlag("--log-level=3");
}
