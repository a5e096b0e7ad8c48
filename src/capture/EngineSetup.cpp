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

} // namespace

void PrepareBrowserEngine(EngineUse use) {
    // Chromium's sandbox cannot start as root; everyone else keeps it.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The picture holds the page's own colours, whatever the screen's colour profile.
    AddChromiumFlag("--force-color-profile=srgb");
    // Each screen of a capture waits for one frame; unlimited frames make that wait shorter,
    // but would also let an animated page use a whole core while somebody browses.
    if (use == EngineUse::Unattended)
        AddChromiumFlag("--disable-frame-rate-limit");
}
